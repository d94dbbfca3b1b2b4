// The program every run starts with. It answers the lists and counts, and --version, itself, with
// nothing loaded but Qt's core and the number rules; every other run (the window, the map, the
// pictures, --help with the window's keys) goes on in the window program.
#include "app/commandline.h"
#include "app/listing.h"
#include "app/terminal.h"
#include "app/windowprogram.h"
#include "results/output.h"

int main(int argc, char *argv[]) {
    Output::holdClosedStandardStreams();
    const CommandLine command = CommandLine::parse(argc, argv);
    if (command.refusal)
        return Terminal::refuse(argc, argv);
    if (command.mode == CommandLine::Mode::Version)
        return Terminal::writeOut("zahlenlupe " ZAHLENLUPE_VERSION "\n", "Die Version");
    if (Listing::handles(command))
        return Listing::run(command);
    return WindowProgram::exec(argv);
}
