-- Ampwarden lobby: the room "lobby" on this conference host, made and set up when the server
-- starts: persistent, public, its occupants' accounts visible to all (the game joins matches
-- by account, never by nickname), a short history, a subject nobody but the server sets.
local muc = module:depends("muc")

local function make_lobby()
    local jid = "lobby@" .. module.host
    local room = muc.get_room_from_jid(jid) or muc.create_room(jid)
    if not room then
        module:log("error", "cannot make the room %s", jid)
        return
    end
    room:set_name("Ampwarden lobby")
    room:set_persistent(true)
    room:set_public(true)
    room:set_hidden(false)
    room:set_whois("anyone")
    room:set_changesubject(false)
    room:set_historylength(20)
    room:save(true)
    module:log("info", "room %s ready", jid)
end

if prosody.start_time then
    make_lobby()
else
    module:hook_global("server-started", make_lobby)
end
