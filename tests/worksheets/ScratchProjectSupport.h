#pragma once
// A new project of one kind, with the worksheets registered, in a scratch directory that is the
// current directory while the test runs; closed and removed after it.
#include "core/Projektmanager.h"
#include "worksheets/Arbeitsblatt.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>

class ScratchProject : public ::testing::Test {
protected:
    explicit ScratchProject(uint8_t kind) : kind_(kind) {}

    void SetUp() override
    {
        std::string t = (std::filesystem::temp_directory_path() / "varnprojektXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir_ = t;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        RegisterArbeitsblatt();
        projekt().New(kind_);
    }
    void TearDown() override
    {
        if (projekt().IsOpen())
            projekt().Close();
        SetArbeitsblattFactory(nullptr);
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    static CProjekt& projekt() { return GlobalProjektmanager.Projekt(); }

    std::string dir_;
    std::filesystem::path previous_;

private:
    uint8_t kind_;
};
