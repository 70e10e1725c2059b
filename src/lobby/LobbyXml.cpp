#include "lobby/LobbyXml.h"

#include <strophe.h>

#include <memory>

namespace
{
bool Copy(xmpp_stanza_t* pStanza, CLobbyElement& pOut, int pDepth, std::string& pWhy)
{
    if (pDepth > Lobby::MAX_DEPTH)
        return pWhy = "nested too deep", false;
    const char* name = xmpp_stanza_get_name(pStanza);
    pOut.name = name ? name : "";
    if (pOut.name.size() > Lobby::MAX_NAME_BYTES)
        return pWhy = "an element name too long", false;
    const char* ns = xmpp_stanza_get_ns(pStanza);
    pOut.ns = ns ? ns : "";
    const int count = xmpp_stanza_get_attribute_count(pStanza);
    if (count < 0 || static_cast<size_t>(count) > Lobby::MAX_ATTRIBUTES + 1)
        return pWhy = "too many attributes", false;
    const char* pairs[2 * (Lobby::MAX_ATTRIBUTES + 1)];
    const int filled = xmpp_stanza_get_attributes(pStanza, pairs, 2 * (Lobby::MAX_ATTRIBUTES + 1));
    for (int i = 0; i + 1 < filled; i += 2)
    {
        const std::string key = pairs[i];
        if (key == "xmlns")
            continue;
        if (pOut.attributes.size() >= Lobby::MAX_ATTRIBUTES)
            return pWhy = "too many attributes", false;
        const std::string value = pairs[i + 1];
        if (key.size() > Lobby::MAX_NAME_BYTES || value.size() > Lobby::MAX_VALUE_BYTES)
            return pWhy = "an attribute too long (" + std::to_string(value.size()) + " bytes)", false;
        pOut.attributes.emplace_back(key, value);
    }
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(pStanza); child; child = xmpp_stanza_get_next(child))
    {
        if (xmpp_stanza_is_text(child))
        {
            const char* text = xmpp_stanza_get_text_ptr(child);
            if (text)
                pOut.text += text;
            if (pOut.text.size() > Lobby::MAX_TEXT_BYTES)
                return pWhy = "text too long", false;
            continue;
        }
        if (pOut.children.size() >= Lobby::MAX_CHILDREN)
            return pWhy = "too many children", false;
        pOut.children.emplace_back();
        if (!Copy(child, pOut.children.back(), pDepth + 1, pWhy))
            return false;
    }
    return true;
}

xmpp_stanza_t* Build(xmpp_ctx_t* pContext, const CLobbyElement& pElement)
{
    xmpp_stanza_t* stanza = xmpp_stanza_new(pContext);
    xmpp_stanza_set_name(stanza, pElement.name.c_str());
    if (!pElement.ns.empty())
        xmpp_stanza_set_ns(stanza, pElement.ns.c_str());
    for (const auto& attribute : pElement.attributes)
        xmpp_stanza_set_attribute(stanza, attribute.first.c_str(), attribute.second.c_str());
    if (!pElement.text.empty())
    {
        xmpp_stanza_t* text = xmpp_stanza_new(pContext);
        xmpp_stanza_set_text(text, pElement.text.c_str());
        xmpp_stanza_add_child_ex(stanza, text, 0);
    }
    for (const CLobbyElement& child : pElement.children)
        xmpp_stanza_add_child_ex(stanza, Build(pContext, child), 0);
    return stanza;
}
} // namespace

bool CopyLobbyElement(xmpp_stanza_t* pStanza, CLobbyElement& pOut, std::string& pWhy)
{
    pOut = CLobbyElement();
    return pStanza && xmpp_stanza_is_tag(pStanza) && Copy(pStanza, pOut, 1, pWhy);
}

xmpp_stanza_t* NewLobbyStanza(xmpp_ctx_t* pContext, const CLobbyElement& pElement)
{
    return Build(pContext, pElement);
}

bool ParseLobbyXml(const std::string& pText, CLobbyElement& pOut, std::string& pWhy)
{
    static xmpp_ctx_t* context = nullptr;
    if (!context)
    {
        xmpp_initialize();
        context = xmpp_ctx_new(nullptr, nullptr);
    }
    xmpp_stanza_t* stanza = xmpp_stanza_new_from_string(context, pText.c_str());
    if (!stanza)
        return pWhy = "not XML", false;
    const bool copied = CopyLobbyElement(stanza, pOut, pWhy);
    xmpp_stanza_release(stanza);
    return copied;
}
