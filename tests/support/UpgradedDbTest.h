#pragma once
// Tests on a fresh, upgraded agency database (one per engine) and a users database, in a
// temporary program folder, with today fixed at 1403/01/06 10:30.

#include "ScriptedPrompter.h"
#include "TestDb.h"

#include <memory>

class TTools;

class UpgradedDbTest : public testing_support::EngineTest {
protected:
    // Makes the program folder, both databases and the tools; returns the users connection.
    std::unique_ptr<db::Connection> prepareProgramFolder();
    // Puts back the tools and the program folder of before.
    void restoreProgramFolder();

    testing_support::ScriptedPrompter prompter;

private:
    TTools* savedTools_ = nullptr;
    QByteArray savedHome_;
    bool hadHome_ = false;
};
