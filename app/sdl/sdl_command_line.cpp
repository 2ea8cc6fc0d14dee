#include "app/sdl/sdl_command_line.h"

#include "tool_command_line.h"

int ParseCommandLine(int argc, char** argv, Options& options)
{
    CLI::App app{"Quillmoor: an animated title screen with music.\n"
                 "Keys: Escape or Alt+F4 close, F11 or Alt+Enter switch fullscreen.\n"
                 "Drop files on the window to use them: a .bmp is the logo, a .txt the text page, .ftb and\n"
                 ".gfx the font's two halves, anything else a register dump to play.",
                 "quillmoor"};
    tooltext::ApplyToolRules(app);
    app.add_flag("--fullscreen", options.fullscreen, "Start in fullscreen");
    app.add_option("--scale", options.scale, "Open the window at N times 640 x 400")
        ->type_name("N")
        ->check(CLI::Range(1, 16));
    app.add_flag("--mute", options.mute, "Run without sound (the sound device is not opened)");
    app.add_option("--assets", options.assets,
                   "Read the asset files from DIR only (default: the current folder, then the "
                   "program's folder, then ../share/quillmoor beside it)")
        ->type_name("DIR");
    app.add_option("--song", options.song, "Play FILE (a register dump, raw or YMDX) instead of the assets' song")
        ->type_name("FILE");
    app.add_option("--text", options.text,
                   "Draw the text page from FILE: up to 25 lines of up to 40 characters (shorter lines and "
                   "missing rows are spaces). The font draws A-Z, 0-9, space and ! \" # ' ( ) , - . / : ; = ? @ _ "
                   "` ~ (; as :, # as -, \" and ` as '); lower-case letters are drawn as capitals")
        ->type_name("FILE");
    app.add_flag("--watch", options.watch,
                 "Follow the files read (the song, the logo, the font, the text page): each is taken anew "
                 "as soon as it is saved, the picture running on; a file that can't be used is named and the "
                 "piece before stays");
    return tooltext::ParseOrExit(app, argc, argv, tooltext::RefusalShows::Usage);
}
