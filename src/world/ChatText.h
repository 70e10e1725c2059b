#pragma once

#include <cstddef>
#include <string>

// What a chat line may hold and who says it: the same for the network, the replays and the
// board that shows the lines.
namespace Chat
{
// A line: printable ASCII, at most this long.
const size_t MAX_BYTES = 120;
// Senders are the two sides, then the observers: observer N sends as FROM_OBSERVER + N - 1.
const int MAX_OBSERVERS = 8;
const int FROM_OBSERVER = 3;
} // namespace Chat

// A line fit to travel and to show: printable ASCII only (anything else is dropped), runs of
// spaces made one, none at either end, cut at Chat::MAX_BYTES. Empty when nothing is left.
std::string CleanChatText(const std::string& pText);

// How a sender is written in a replay: "green", "blue", "observer1" ... "observer8"; empty
// for a number no sender has.
std::string ChatSenderTag(int pFrom);
// The sender of a tag, or 0.
int ChatSenderByTag(const std::string& pTag);
// How a sender is shown: a player's name (else "Green"/"Blue"), or "Observer N".
std::string ChatSenderName(int pFrom, const std::string& pGreenName, const std::string& pBlueName);
