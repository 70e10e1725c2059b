#pragma once

// How deep the elements of XML text nest, read the way the XML parser tokenises it, so a
// document can be refused before the parser's recursion runs out of stack. Where the two might
// read a construct differently, this one counts more, never fewer.
int MaxElementDepth(const char* pText);
