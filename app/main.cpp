// Peltavo: English conversations, dictionaries and a fill-in-the-blank quiz for Turkish speakers.
#include "application.h"
#include "platform.h"
#include "programstate.h"
#include "startup.h"

int main(int argc, char** argv) {
    peltavo::platform::SystemPlatform platform;
    peltavo::PeltavoApplication app(argc, argv, platform);
    peltavo::ProgramState state;
    return peltavo::runProgram(state, platform);
}
