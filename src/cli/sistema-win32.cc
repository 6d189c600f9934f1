#include "cli/sistema.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <iostream>
#include <streambuf>

namespace flussom {

namespace {

std::string utf8(const wchar_t* w, std::size_t n) {
  if (n == 0) return {};
  const int k = WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(k), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(n), s.data(), k, nullptr, nullptr);
  return s;
}

std::wstring largo(const char* s, std::size_t n) {
  if (n == 0) return {};
  const int k = MultiByteToWideChar(CP_UTF8, 0, s, static_cast<int>(n), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(k), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, static_cast<int>(n), w.data(), k);
  return w;
}

// The length of the part of `s` that ends on a whole UTF-8 character.
std::size_t fine_carattere_intero(const std::string& s) {
  std::size_t i = s.size();
  for (std::size_t indietro = 0; i > 0 && indietro < 4; ++indietro) {
    const auto c = static_cast<unsigned char>(s[i - 1]);
    if (c < 0x80) return s.size();
    --i;
    if (c >= 0xC0) {
      const std::size_t lunghezza = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
      return s.size() - i >= lunghezza ? s.size() : i;
    }
  }
  return s.size();
}

// UTF-8 text written to a console as wide characters: the console shows "€" and "à"
// whatever its code page.
class UscitaConsole : public std::streambuf {
 public:
  explicit UscitaConsole(HANDLE h) : h_(h) {}

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      attesa_ += static_cast<char>(c);
      if (c == '\n') sync();
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    attesa_.append(s, static_cast<std::size_t>(n));
    return n;
  }
  int sync() override {
    const std::size_t n = fine_carattere_intero(attesa_);
    const std::wstring w = largo(attesa_.data(), n);
    attesa_.erase(0, n);
    DWORD scritti = 0;
    return w.empty() || WriteConsoleW(h_, w.data(), static_cast<DWORD>(w.size()), &scritti, nullptr)
               ? 0
               : -1;
  }

 private:
  HANDLE h_;
  std::string attesa_;
};

// What is typed on a console, read as wide characters and given on as UTF-8.
class IngressoConsole : public std::streambuf {
 public:
  explicit IngressoConsole(HANDLE h) : h_(h) {}

 protected:
  int_type underflow() override {
    wchar_t w[256];
    DWORD letti = 0;
    if (!ReadConsoleW(h_, w, 256, &letti, nullptr) || letti == 0) return traits_type::eof();
    dati_ = utf8(w, letti);
    setg(dati_.data(), dati_.data(), dati_.data() + dati_.size());
    return traits_type::to_int_type(dati_[0]);
  }

 private:
  HANDLE h_;
  std::string dati_;
};

bool console(HANDLE h) {
  DWORD modo = 0;
  return h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &modo) != 0;
}

}  // namespace

bool e_terminale(std::FILE* f) { return _isatty(_fileno(f)) != 0; }

std::filesystem::path cartella_eseguibile() {
  std::vector<wchar_t> buf(32768);
  const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  if (n == 0 || n >= buf.size()) return {};
  return std::filesystem::path(std::wstring(buf.data(), n)).parent_path();
}

std::vector<std::string> argomenti_utf8(int argc, char** argv) {
  int n = 0;
  LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &n);
  if (w == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> r;
  for (int i = 0; i < n; ++i) r.push_back(utf8(w[i], wcslen(w[i])));
  LocalFree(w);
  return r;
}

void prepara_flussi_standard() {
  for (FILE* f : {stdin, stdout, stderr}) _setmode(_fileno(f), _O_BINARY);
  // Never destroyed: the standard streams are flushed after every static object is gone.
  if (HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE); console(h)) std::cout.rdbuf(new UscitaConsole(h));
  if (HANDLE h = GetStdHandle(STD_ERROR_HANDLE); console(h)) std::cerr.rdbuf(new UscitaConsole(h));
  if (HANDLE h = GetStdHandle(STD_INPUT_HANDLE); console(h)) std::cin.rdbuf(new IngressoConsole(h));
}

namespace {

Interruzione interruzione;

// Runs on a thread of its own that the system starts; stores to lock-free atomics only.
// Closing the console or ending the session keeps the system's way (the process ends).
BOOL WINAPI al_controllo(DWORD evento) {
  if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT) return FALSE;
  if (interruzione.chiesta.load()) return FALSE;  // a second time: the program ends at once
  int nessuno = 0;
  interruzione.stato.compare_exchange_strong(nessuno, 130);
  interruzione.chiesta.store(true);
  return TRUE;
}

}  // namespace

const Interruzione& intercetta_interruzione() {
  SetConsoleCtrlHandler(al_controllo, TRUE);
  return interruzione;
}

}  // namespace flussom
