#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/file_sicuro.h"
#include "base/piattaforma.h"

namespace flussom {

namespace {

// The lock is one byte far past any real end of file: it excludes the other lockers
// without stopping readers, as an advisory lock does.
constexpr DWORD blocco_basso = 0xFFFFFFFEu;
constexpr DWORD blocco_alto = 0x7FFFFFFFu;

std::FILE* fallito(std::string& errore, DWORD e = GetLastError()) {
  errore = std::system_category().message(static_cast<int>(e));
  return nullptr;
}

HANDLE handle_di(std::FILE* f) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f))); }

// Wraps an open handle in a C stream; the stream owns it from then on.
std::FILE* come_stream(HANDLE h, int flag, const char* modo, std::string& errore) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flag | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    errore = testo_errno(errno);
    return nullptr;
  }
  std::FILE* f = _fdopen(fd, modo);
  if (!f) {
    errore = testo_errno(errno);
    _close(fd);
  }
  return f;
}

// Refuses what is not a regular file (or a pipe, when allowed); closes it on refusal.
bool controlla_tipo(HANDLE h, bool pipe_ammessa, bool& pipe, std::string& errore) {
  const DWORD tipo = GetFileType(h);
  pipe = tipo == FILE_TYPE_PIPE;
  BY_HANDLE_FILE_INFORMATION info{};
  if (tipo == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return true;
  if (pipe && pipe_ammessa) return true;
  CloseHandle(h);
  if (tipo == FILE_TYPE_CHAR) errore = "\xE8 un dispositivo";
  else if (tipo == FILE_TYPE_DISK) errore = "\xE8 una cartella";
  else errore = "non \xE8 un file regolare";
  return false;
}

bool e_cartella(const std::filesystem::path& p) {
  const DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::FILE* crea_file_nuovo(const std::filesystem::path& percorso, std::string& errore) {
  // CREATE_NEW fails on any existing name, a link that points nowhere included.
  HANDLE h = CreateFileW(percorso.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fallito(errore);
  return come_stream(h, _O_WRONLY, "wb", errore);
}

std::FILE* apri_in_lettura(const std::filesystem::path& percorso, bool* e_pipe, std::string& errore) {
  if (e_cartella(percorso)) {
    errore = "\xE8 una cartella";
    return nullptr;
  }
  HANDLE h = CreateFileW(percorso.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fallito(errore);
  bool pipe = false;
  if (!controlla_tipo(h, true, pipe, errore)) return nullptr;
  if (e_pipe) *e_pipe = pipe;
  return come_stream(h, _O_RDONLY, "rb", errore);
}

std::FILE* apri_in_aggiunta(const std::filesystem::path& percorso, std::string& errore) {
  if (e_cartella(percorso)) {
    errore = "\xE8 una cartella";
    return nullptr;
  }
  const DWORD accesso = GENERIC_READ | GENERIC_WRITE;
  const DWORD condivisione = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE h = CreateFileW(percorso.c_str(), accesso, condivisione, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND)
    h = CreateFileW(percorso.c_str(), accesso, condivisione, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fallito(errore);
  bool pipe = false;
  if (!controlla_tipo(h, false, pipe, errore)) return nullptr;
  std::FILE* f = come_stream(h, _O_RDWR | _O_APPEND, "a+b", errore);
  // Unbuffered: every fwrite reaches the file at once, so accorcia_file leaves nothing behind.
  if (f) std::setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

bool blocca_file(std::FILE* file, std::uint64_t& dimensione, std::string& errore) {
  const HANDLE h = handle_di(file);
  OVERLAPPED ov{};
  ov.Offset = blocco_basso;
  ov.OffsetHigh = blocco_alto;
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &ov)) return fallito(errore), false;
  LARGE_INTEGER n{};
  if (!GetFileSizeEx(h, &n)) {
    fallito(errore);
    sblocca_file(file);
    return false;
  }
  dimensione = static_cast<std::uint64_t>(n.QuadPart);
  return true;
}

void sblocca_file(std::FILE* file) {
  std::fflush(file);
  OVERLAPPED ov{};
  ov.Offset = blocco_basso;
  ov.OffsetHigh = blocco_alto;
  UnlockFileEx(handle_di(file), 0, 1, 0, &ov);
}

bool accorcia_file(std::FILE* file, std::uint64_t dimensione, std::string& errore) {
  std::fflush(file);
  if (const errno_t e = _chsize_s(_fileno(file), static_cast<long long>(dimensione)); e != 0) {
    errore = testo_errno(e);
    return false;
  }
  return true;
}

std::FILE* prendi_blocco(const std::filesystem::path& percorso, bool& occupato, std::string& errore) {
  occupato = false;
  if (e_cartella(percorso)) {
    errore = "\xE8 una cartella";
    return nullptr;
  }
  HANDLE h = CreateFileW(percorso.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fallito(errore);
  bool pipe = false;
  if (!controlla_tipo(h, false, pipe, errore)) return nullptr;
  OVERLAPPED ov{};
  ov.Offset = blocco_basso;
  ov.OffsetHigh = blocco_alto;
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) {
    const DWORD e = GetLastError();
    CloseHandle(h);
    occupato = e == ERROR_LOCK_VIOLATION || e == ERROR_IO_PENDING;
    return fallito(errore, e);
  }
  return come_stream(h, _O_RDWR, "r+b", errore);
}

bool identita_file(const std::filesystem::path& percorso, IdentitaFile& identita) {
  HANDLE h = CreateFileW(percorso.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!ok) return false;
  identita.dispositivo = info.dwVolumeSerialNumber;
  identita.numero = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  identita.dimensione = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  identita.modifica = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                                info.ftLastWriteTime.dwLowDateTime);
  return true;
}

}  // namespace flussom
