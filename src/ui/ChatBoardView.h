#pragma once

class CChatBoard;
class CGameWorld;

// The chat board drawn over the world's board: the lines said, fading, and the open line on a
// plate with its history.
void DrawChatBoard(const CChatBoard& pBoard, const CGameWorld& pWorld);
