#pragma once
// The viewer's command line, kept apart from its window code so that the
// man page test can read it without Qt.

namespace kivora {

inline constexpr const char* kViewerUsage =
    "usage: kivora-viewer [--help] [--version] [FILE]\n"
    "Plays a battle recorded by kivora-arena again, tick by tick.\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "A FILE given that cannot be opened, or does not play out as recorded, is\n"
    "reported on standard error and the window does not open (exit status 2).\n";

}  // namespace kivora
