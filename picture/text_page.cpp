// PLACEHOLDER until the text page lands.
#include "picture/text_page.h"

void LoadFont() {}
void DrawTextPage() {}
