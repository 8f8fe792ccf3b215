#pragma once

#include <gtest/gtest.h>

#include <filesystem>

// Gives every test a fresh, empty HOME and XDG_* folders and removes them afterwards, so that
// configuration, logs and data written by one test never reach another or the developer's own.
class TempHomeListener : public testing::EmptyTestEventListener
{
public:
    void OnTestStart(const testing::TestInfo& info) override;
    void OnTestEnd(const testing::TestInfo& info) override;

    // The folder HOME points at during the running test; empty outside a test.
    static const std::filesystem::path& Current();

private:
    static std::filesystem::path s_current;
};

// Sets the process up the way the program does (C.UTF-8 character classes) and installs the
// per-test home. Both test mains call it before RUN_ALL_TESTS.
void InitTestProcess(int* argc, char** argv);
