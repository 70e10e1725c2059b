#include "engine/GameEngine.h"
// PLACEHOLDER: filled in by the engine work.
int main(int, char**) { return 0; }
