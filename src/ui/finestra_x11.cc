#include "ui/finestra_x11.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "ui/esegui_e_attendi.h"

namespace flussom {

namespace {

enum Atomo {
  NET_CLIENT_LIST,
  NET_WM_PID,
  NET_WM_NAME,
  UTF8_STRING,
  WM_PROTOCOLS,
  WM_DELETE_WINDOW,
  NET_WM_STATE,
  NET_WM_STATE_MAXIMIZED_VERT,
  NET_WM_STATE_MAXIMIZED_HORZ,
  NET_ACTIVE_WINDOW,
  WM_CHANGE_STATE,
  numero_atomi,
};

constexpr const char* nomi_atomi[numero_atomi] = {
    "_NET_CLIENT_LIST", "_NET_WM_PID",      "_NET_WM_NAME",
    "UTF8_STRING",      "WM_PROTOCOLS",     "WM_DELETE_WINDOW",
    "_NET_WM_STATE",    "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ",
    "_NET_ACTIVE_WINDOW", "WM_CHANGE_STATE",
};

constexpr std::uint32_t titolo_massimo = 256;

struct Libera {
  void operator()(void* p) const { std::free(p); }
};
using Proprieta = std::unique_ptr<xcb_get_property_reply_t, Libera>;

}  // namespace

struct FinestraX11::Connessione {
  xcb_connection_t* conn = nullptr;
  std::vector<xcb_window_t> radici;
  xcb_atom_t atomi[numero_atomi] = {};
  xcb_window_t radice_trovata = 0;

  ~Connessione() {
    if (conn) xcb_disconnect(conn);
  }

  // A reply, or nothing when the window has gone in the meantime.
  Proprieta risposta(xcb_get_property_cookie_t cookie) const {
    xcb_generic_error_t* errore = nullptr;
    Proprieta r(xcb_get_property_reply(conn, cookie, &errore));
    std::free(errore);
    return r;
  }

  xcb_get_property_cookie_t chiedi(xcb_window_t w, xcb_atom_t prop, xcb_atom_t tipo,
                                   std::uint32_t lunghezza) const {
    return xcb_get_property(conn, 0, w, prop, tipo, 0, lunghezza);
  }

  // The top-level windows of one screen: those the window manager manages, in the order
  // they were mapped; without a window manager, the children of the root.
  std::vector<xcb_window_t> finestre(xcb_window_t radice) const {
    std::vector<xcb_window_t> w;
    if (atomi[NET_CLIENT_LIST] != XCB_ATOM_NONE) {
      Proprieta lista = risposta(chiedi(radice, atomi[NET_CLIENT_LIST], XCB_ATOM_WINDOW, 1u << 16));
      if (lista && lista->type == XCB_ATOM_WINDOW && lista->format == 32) {
        const auto* v = static_cast<const xcb_window_t*>(xcb_get_property_value(lista.get()));
        w.assign(v, v + xcb_get_property_value_length(lista.get()) / 4);
        return w;
      }
    }
    xcb_generic_error_t* errore = nullptr;
    std::unique_ptr<xcb_query_tree_reply_t, Libera> albero(
        xcb_query_tree_reply(conn, xcb_query_tree(conn, radice), &errore));
    std::free(errore);
    if (albero) {
      const xcb_window_t* v = xcb_query_tree_children(albero.get());
      w.assign(v, v + xcb_query_tree_children_length(albero.get()));
    }
    return w;
  }

  void messaggio(xcb_window_t destinatario, std::uint32_t maschera, xcb_window_t finestra,
                 xcb_atom_t tipo, std::initializer_list<std::uint32_t> dati) const {
    xcb_client_message_event_t ev;
    std::memset(&ev, 0, sizeof ev);
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = finestra;
    ev.type = tipo;
    int i = 0;
    for (std::uint32_t d : dati) ev.data.data32[i++] = d;
    xcb_send_event(conn, 0, destinatario, maschera, reinterpret_cast<const char*>(&ev));
    xcb_flush(conn);
  }

  // A request to the window manager about `finestra`.
  void al_gestore(xcb_window_t finestra, Atomo tipo, std::initializer_list<std::uint32_t> dati) const {
    messaggio(radice_trovata,
              XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, finestra,
              atomi[tipo], dati);
  }
};

FinestraX11::FinestraX11(pid_t pid, int stile) : pid_(pid), stile_(stile) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return;
  auto c = std::make_unique<Connessione>();
  c->conn = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c->conn)) return;
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c->conn)); it.rem; xcb_screen_next(&it))
    c->radici.push_back(it.data->root);
  xcb_intern_atom_cookie_t cookie[numero_atomi];
  for (int i = 0; i < numero_atomi; ++i)
    cookie[i] = xcb_intern_atom(c->conn, 0, static_cast<std::uint16_t>(std::strlen(nomi_atomi[i])),
                                nomi_atomi[i]);
  for (int i = 0; i < numero_atomi; ++i) {
    std::unique_ptr<xcb_intern_atom_reply_t, Libera> r(
        xcb_intern_atom_reply(c->conn, cookie[i], nullptr));
    c->atomi[i] = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }
  c_ = std::move(c);
}

FinestraX11::~FinestraX11() = default;

bool FinestraX11::cerca() {
  if (!c_) return false;
  if (finestra_ != 0) return true;

  for (xcb_window_t radice : c_->radici) {
    const std::vector<xcb_window_t> finestre = c_->finestre(radice);
    // All requests first, then the replies: one round trip for the whole list.
    std::vector<xcb_get_property_cookie_t> pid, proprietario;
    std::vector<xcb_get_window_attributes_cookie_t> attributi;
    for (xcb_window_t w : finestre) {
      pid.push_back(c_->chiedi(w, c_->atomi[NET_WM_PID], XCB_ATOM_CARDINAL, 1));
      proprietario.push_back(c_->chiedi(w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1));
      attributi.push_back(xcb_get_window_attributes(c_->conn, w));
    }
    for (std::size_t i = 0; i < finestre.size(); ++i) {
      Proprieta p = c_->risposta(pid[i]);
      Proprieta t = c_->risposta(proprietario[i]);
      std::unique_ptr<xcb_get_window_attributes_reply_t, Libera> a(
          xcb_get_window_attributes_reply(c_->conn, attributi[i], nullptr));
      // Only a window on show: toolkits also own hidden windows (Qt's group leader), and a
      // window not yet mapped may miss what is sent to it.
      if (!a || a->map_state != XCB_MAP_STATE_VIEWABLE) continue;
      if (finestra_ != 0 || !p || p->format != 32 || xcb_get_property_value_length(p.get()) < 4)
        continue;
      const auto valore = *static_cast<const std::uint32_t*>(xcb_get_property_value(p.get()));
      const bool di_proprieta = t && xcb_get_property_value_length(t.get()) >= 4;
      if (static_cast<pid_t>(valore) == pid_ && !di_proprieta) finestra_ = finestre[i];
    }
    if (finestra_ != 0) {
      c_->radice_trovata = radice;
      break;
    }
  }
  if (finestra_ == 0) return false;

  constexpr std::uint32_t aggiungi = 1, da_applicazione = 1, iconica = 3;
  switch (stile_) {
    case stile_ingrandita:
      c_->al_gestore(finestra_, NET_WM_STATE,
                     {aggiungi, c_->atomi[NET_WM_STATE_MAXIMIZED_VERT],
                      c_->atomi[NET_WM_STATE_MAXIMIZED_HORZ], da_applicazione, 0});
      c_->al_gestore(finestra_, NET_ACTIVE_WINDOW, {da_applicazione, XCB_CURRENT_TIME, 0});
      break;
    case stile_normale:
    case stile_mostrata:
      c_->al_gestore(finestra_, NET_ACTIVE_WINDOW, {da_applicazione, XCB_CURRENT_TIME, 0});
      break;
    case stile_ridotta:
    case stile_ridotta_senza_focus:
      c_->al_gestore(finestra_, WM_CHANGE_STATE, {iconica});
      break;
    default:
      break;
  }
  return true;
}

QString FinestraX11::titolo() const {
  if (!c_ || finestra_ == 0) return {};
  // Requested lengths are in 32-bit units: enough for 256 characters of UTF-8.
  Proprieta nome = c_->risposta(
      c_->chiedi(finestra_, c_->atomi[NET_WM_NAME], c_->atomi[UTF8_STRING], titolo_massimo));
  QString t;
  if (nome && nome->type == c_->atomi[UTF8_STRING] && nome->format == 8) {
    t = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(nome.get())),
                          xcb_get_property_value_length(nome.get()));
  } else {
    Proprieta vecchio = c_->risposta(
        c_->chiedi(finestra_, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, titolo_massimo / 4));
    if (vecchio && vecchio->format == 8)
      t = QString::fromLatin1(static_cast<const char*>(xcb_get_property_value(vecchio.get())),
                              xcb_get_property_value_length(vecchio.get()));
  }
  return t.left(titolo_massimo);
}

void FinestraX11::chiudi() const {
  if (!c_ || finestra_ == 0) return;
  c_->messaggio(finestra_, XCB_EVENT_MASK_NO_EVENT, finestra_, c_->atomi[WM_PROTOCOLS],
                {c_->atomi[WM_DELETE_WINDOW], XCB_CURRENT_TIME});
}

void FinestraX11::in_primo_piano() const {
  if (!c_ || finestra_ == 0) return;
  // Asked as a pager would: a window manager may refuse an application's request, taking it
  // for focus stealing. Without a window manager, the window is mapped and raised directly.
  constexpr std::uint32_t da_pager = 2, sopra = XCB_STACK_MODE_ABOVE;
  c_->al_gestore(finestra_, NET_ACTIVE_WINDOW, {da_pager, XCB_CURRENT_TIME, 0});
  xcb_map_window(c_->conn, finestra_);
  xcb_configure_window(c_->conn, finestra_, XCB_CONFIG_WINDOW_STACK_MODE, &sopra);
  xcb_flush(c_->conn);
}

}  // namespace flussom
