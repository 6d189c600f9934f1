// Safe file access for the core: new files created exclusively and never through a link,
// data read only from a regular file or a pipe, appends under an exclusive lock.
// Every call returns its result and, on failure, puts in `errore` a text (Windows-1252) to
// show after the file's name, such as "Permission denied" or "\xE8 un dispositivo".
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace flussom {

// Creates `percorso` as a new empty file and opens it for writing ("wb"). Fails when
// anything already exists at that name, a link included, even one that points nowhere.
std::FILE* crea_file_nuovo(const std::filesystem::path& percorso, std::string& errore);

// Opens an existing file for reading ("rb") when it is a regular file or a pipe (FIFO);
// a folder, a device or a socket is refused. Opening a FIFO without a writer does not wait.
// `*e_pipe` (when not null) tells a pipe from a regular file.
std::FILE* apri_in_lettura(const std::filesystem::path& percorso, bool* e_pipe, std::string& errore);

// Opens a regular file for reading and appending ("a+b"): an existing file is opened (a
// link to an existing regular file is followed); a missing one is created exclusively,
// never through a link.
std::FILE* apri_in_aggiunta(const std::filesystem::path& percorso, std::string& errore);

// Takes the exclusive advisory lock of the open file, waiting for other holders, and puts
// the file's size, measured under the lock, in `dimensione`. The lock covers the whole file.
bool blocca_file(std::FILE* file, std::uint64_t& dimensione, std::string& errore);

// Releases the lock taken by blocca_file (closing the file releases it too).
void sblocca_file(std::FILE* file);

// Cuts the open file back to `dimensione` bytes (after flushing the stream).
bool accorcia_file(std::FILE* file, std::uint64_t dimensione, std::string& errore);

// Opens (creating it when missing, never through a link) the lock file `percorso` and takes
// its exclusive lock without waiting; the lock lasts until the file is closed. Null when
// it cannot: `occupato` tells a lock held by someone else (another process, or another
// handle of this one) from a failure, whose reason is in `errore`.
std::FILE* prendi_blocco(const std::filesystem::path& percorso, bool& occupato, std::string& errore);

// What tells one file from another and one version of it from the next: the file itself
// (device and number, links followed), its size and its time of last change.
struct IdentitaFile {
  std::uint64_t dispositivo = 0, numero = 0, dimensione = 0;
  std::int64_t modifica = 0;  // in the platform's own units
  bool operator==(const IdentitaFile&) const = default;
};

// The identity of the file at `percorso`; false when it cannot be examined.
bool identita_file(const std::filesystem::path& percorso, IdentitaFile& identita);

// True when both paths name the same existing file (links followed); false otherwise,
// also when either cannot be examined.
bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b);

// How a table file was found.
enum class StatoTabella {
  presente,       // a regular file (or a link to one), read
  mancante,       // nothing at that name
  inutilizzabile  // a folder, a pipe, a device, a link to nowhere, or unreadable
};

// Reads a whole table file; only a regular file is read (never a pipe or a device, whose
// reading could wait or grow without end). When it is unusable, `motivo` says why
// (Windows-1252), as "\xE8 una cartella".
StatoTabella leggi_tabella(const std::filesystem::path& file, std::string& dati,
                           std::string& motivo);
// The same question without reading: what stands at that name.
StatoTabella stato_tabella(const std::filesystem::path& file);

}  // namespace flussom
