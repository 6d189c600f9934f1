#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/file_sicuro.h"
#include "base/piattaforma.h"

namespace flussom {

namespace {

std::FILE* fallito(std::string& errore, int e = errno) {
  errore = e == EISDIR ? "\xE8 una cartella" : testo_errno(e);
  return nullptr;
}

// Why a file of this kind cannot be used as data or as a table; empty when it can.
const char* tipo_rifiutato(mode_t m) {
  if (S_ISREG(m) || S_ISFIFO(m)) return "";
  if (S_ISDIR(m)) return "\xE8 una cartella";
  if (S_ISCHR(m) || S_ISBLK(m)) return "\xE8 un dispositivo";
  if (S_ISSOCK(m)) return "\xE8 un socket";
  return "non \xE8 un file regolare";
}

std::FILE* come_stream(int fd, const char* modo, std::string& errore) {
  std::FILE* f = fdopen(fd, modo);
  if (!f) {
    const int e = errno;
    close(fd);
    return fallito(errore, e);
  }
  return f;
}

// Checks the kind of the file open on `fd` and makes its reads blocking again; on refusal
// closes it and says why.
bool controlla_tipo(int fd, bool pipe_ammessa, bool& pipe, std::string& errore) {
  struct stat st;
  const char* rifiuto = "";
  int e = 0;
  if (fstat(fd, &st) != 0) {
    e = errno;
  } else {
    rifiuto = tipo_rifiutato(st.st_mode);
    if (!*rifiuto && S_ISFIFO(st.st_mode) && !pipe_ammessa) rifiuto = "non \xE8 un file regolare";
    pipe = S_ISFIFO(st.st_mode);
  }
  // Reads wait for data again: a pipe whose writer has not written yet is waited for.
  const int flag = fcntl(fd, F_GETFL);
  if (!e && !*rifiuto && (flag < 0 || fcntl(fd, F_SETFL, flag & ~O_NONBLOCK) != 0)) e = errno;
  if (!e && !*rifiuto) return true;
  close(fd);
  if (e) fallito(errore, e);
  else errore = rifiuto;
  return false;
}

}  // namespace

std::FILE* crea_file_nuovo(const std::filesystem::path& percorso, std::string& errore) {
  const int fd = open(percorso.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return fallito(errore);
  return come_stream(fd, "wb", errore);
}

std::FILE* apri_in_lettura(const std::filesystem::path& percorso, bool* e_pipe, std::string& errore) {
  // O_NONBLOCK: opening a FIFO that has no writer returns at once instead of waiting.
  const int fd = open(percorso.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    // A socket cannot be opened at all (ENXIO): say what it is.
    const int e = errno;
    struct stat st;
    if (stat(percorso.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
      errore = tipo_rifiutato(st.st_mode);
      return nullptr;
    }
    return fallito(errore, e);
  }
  bool pipe = false;
  if (!controlla_tipo(fd, true, pipe, errore)) return nullptr;
  if (e_pipe) *e_pipe = pipe;
  return come_stream(fd, "rb", errore);
}

std::FILE* apri_in_aggiunta(const std::filesystem::path& percorso, std::string& errore) {
  int fd = open(percorso.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0 && errno == ENOENT)
    fd = open(percorso.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return fallito(errore);
  bool pipe = false;
  if (!controlla_tipo(fd, false, pipe, errore)) return nullptr;
  std::FILE* f = come_stream(fd, "a+b", errore);
  // Unbuffered: every fwrite reaches the file at once, so accorcia_file leaves nothing behind.
  if (f) std::setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

bool blocca_file(std::FILE* file, std::uint64_t& dimensione, std::string& errore) {
  const int fd = fileno(file);
  int r;
  do r = flock(fd, LOCK_EX);
  while (r != 0 && errno == EINTR);
  if (r != 0) return fallito(errore), false;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    const int e = errno;
    flock(fd, LOCK_UN);
    return fallito(errore, e), false;
  }
  dimensione = static_cast<std::uint64_t>(st.st_size);
  return true;
}

void sblocca_file(std::FILE* file) {
  std::fflush(file);
  flock(fileno(file), LOCK_UN);
}

bool accorcia_file(std::FILE* file, std::uint64_t dimensione, std::string& errore) {
  std::fflush(file);  // a failed flush drops what it could not write
  if (ftruncate(fileno(file), static_cast<off_t>(dimensione)) != 0) return fallito(errore), false;
  return true;
}

std::FILE* prendi_blocco(const std::filesystem::path& percorso, bool& occupato, std::string& errore) {
  occupato = false;
  const int fd = open(percorso.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) return fallito(errore);
  bool pipe = false;
  if (!controlla_tipo(fd, false, pipe, errore)) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int e = errno;
    close(fd);
    occupato = e == EWOULDBLOCK;
    return fallito(errore, e);
  }
  return come_stream(fd, "r+b", errore);
}

bool identita_file(const std::filesystem::path& percorso, IdentitaFile& identita) {
  struct stat st;
  if (stat(percorso.c_str(), &st) != 0) return false;
  identita.dispositivo = static_cast<std::uint64_t>(st.st_dev);
  identita.numero = static_cast<std::uint64_t>(st.st_ino);
  identita.dimensione = static_cast<std::uint64_t>(st.st_size);
  identita.modifica = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

}  // namespace flussom
