#include "app/pellorin_app.h"

#include <csignal>

int main(int argc, char **argv) {
    // Past a file-size limit a save then fails and is told, with the old file kept and no
    // temporary file left, instead of ending the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    CPellorinApp app(argc, argv);
    if (!app.InitInstance())
        return app.exitCode();
    return app.Run();
}
