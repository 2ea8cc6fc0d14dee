// The pieces the page hands the program (page_pieces.cpp holds the page's
// calls for them). Before the picture is set up, takes the text page and
// the logo named in the page's address ("--text=FILE", "--logo=FILE"); one
// that can't be used is kept for the page to show, and the intro's own stays.
#pragma once

void TakeNamedPieces(int argc, char** argv);
