-- Ampwarden lobby: the rule for account names made in band. A name is 2 to 20 characters:
-- lowercase letters, digits, '-' and '_', starting with a letter; anything else is refused
-- before the account is made, with the rule as the reason.
local rule = "^[a-z][a-z0-9_-]+$"

module:hook("user-registering", function(event)
    local name = event.username or ""
    if #name < 2 or #name > 20 or not name:match(rule) then
        event.allowed = false
        event.reason = "A name is 2 to 20 lowercase letters, digits, '-' or '_', starting with a letter"
        event.error_type = "modify"
        event.error_condition = "not-acceptable"
    end
end, 10)
