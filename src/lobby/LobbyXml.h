#pragma once

#include <string>

#include "lobby/LobbyPayload.h"

typedef struct _xmpp_stanza_t xmpp_stanza_t;
typedef struct _xmpp_ctx_t xmpp_ctx_t;

// Between libstrophe's stanzas and the lobby's bounded elements. Copying refuses, with why, an
// element past Lobby's bounds (depth, children, attributes, sizes) rather than cutting it.
bool CopyLobbyElement(xmpp_stanza_t* pStanza, CLobbyElement& pOut, std::string& pWhy);
// A new stanza (to be released by the caller) holding the element.
xmpp_stanza_t* NewLobbyStanza(xmpp_ctx_t* pContext, const CLobbyElement& pElement);
// XML text read by libstrophe's own parser and copied as above (tests and the fuzz target).
bool ParseLobbyXml(const std::string& pText, CLobbyElement& pOut, std::string& pWhy);
