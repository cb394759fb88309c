#include "app/pellorin_app.h"

int main(int argc, char **argv) {
    CPellorinApp app(argc, argv);
    if (!app.InitInstance())
        return app.exitCode();
    return app.Run();
}
