// The text page the intro draws: the one built into the program, or a plain
// text file the user chose (--text), read by the rules of
// picture/text_page_source.h.
#pragma once

#include <string>

// Reads the page file at `path` and makes it the page drawn from the next
// frame on. False, with the page as it was, when the file can't be read
// (`reason`: "cannot read PATH: WHY") or breaks a rule (`reason`:
// "PATH:LINE:COLUMN: WHAT").
bool ChooseTextPage(const std::string& path, std::string& reason);

// Back to the built-in page.
void ChooseBuiltInTextPage();

// The page named on the command line (none when `path` is empty), before any
// window opens: a page that can't be used is reported as an error; false then.
bool TakeNamedTextPage(const std::string& path);
