#pragma once
// Shared by the shift demand and working-time plan tests: shift types made from times, messages
// caught, and a project working copy in a temporary folder for the store round trips.
#include "core/ProjektFileManager.h"
#include "core/Schicht.h"
#include "platform/ui/MessageShow.h"
#include "plans/PlanNotify.h"
#include "plans/Schichttypen.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace plantest {

constexpr uint32_t kDay = 1440;

// A normal shift type from minutes of the day (an end at or before the begin runs into the next
// day), with at most one break.
inline CSchicht Shift(const std::string& shortName, uint32_t from, uint32_t to, PAUSE pause = {},
                      uint8_t art = ART_NORMAL)
{
    CSchicht s;
    s.Clear();
    s.ART = art;
    s.BEZEICHNUNG = "Schicht " + shortName;
    s.KURZBEZEICHNUNG = shortName;
    s.TERMIN = {from, to > from ? to : to + kDay};
    s.PAUSEN[0] = pause;
    s.ClassifyLageByStart();
    return s;
}

// Adds the shift type without an undo step and returns its new SYSID.
inline uint32_t Add(CSchichttypen& types, CSchicht s)
{
    types.AddSchicht(s, false);
    return s.SYSID;
}

// Every message shown while the object lives.
class MessageCatcher {
public:
    MessageCatcher()
    {
        SetMessageHook([this](const MessageRequest& m) {
            texts.push_back(m.text);
            return MessageDefaultAnswer(m);
        });
    }
    ~MessageCatcher() { SetMessageHook({}); }
    std::vector<std::string> texts;
};

// Counts the worksheet notifications of a shift-type list.
class OwnerStub : public IPlanOwner {
public:
    void OnSchichttypenChanged() override { ++changes; }
    bool GetLageDefinitions(NACHTSCHICHT&, FRUEHSCHICHT&, TAGSCHICHT&) override { return false; }
    int changes = 0;
};

// A new project's working copy in a folder of its own, removed afterwards.
class ProjectStore {
public:
    ProjectStore()
    {
        std::string t = (std::filesystem::temp_directory_path() / "varnplanXXXXXX").string();
        if (!::mkdtemp(t.data()))
            throw std::runtime_error("no temporary folder");
        dir = t;
        if (files.OpenNew(dir + "/plan.prj") != STORE_DONE)
            throw std::runtime_error("no working copy");
    }
    ~ProjectStore()
    {
        files.Close();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string dir;
    CProjektFileManager files;
};

} // namespace plantest
