#include "subcommands.h"

#include <array>

namespace grimstore {

std::span<const SubcommandRegistration> subcommandRegistrations() {
    // A new subcommand (such as one writing the demo data set into a folder)
    // joins by declaring its register function in subcommands.h and adding it here.
    static constexpr std::array<SubcommandRegistration, 17> kRegistrations{
        registerCreate, registerSave, registerLoad,    registerStat,       registerCheck, registerDump,
        registerCopy,   registerDemo, registerJournal, registerCheckWorld, registerFind,  registerHistory,
        registerRevert, registerAsOf, registerDiff,    registerChanges,    registerApply,
    };
    return kRegistrations;
}

}  // namespace grimstore
