#pragma once

#include <gtest/gtest.h>
#include <wx/init.h>

#include <memory>

// Window-free test programs have no wxApp, but wxFileConfig and wxStandardPaths ask the
// application for its traits. This environment starts the toolkit's console application for the
// whole program; including the header is enough, in any number of files.
class WxConsoleAppEnvironment : public testing::Environment
{
public:
    void SetUp() override { m_pInit = std::make_unique<wxInitializer>(); }
    void TearDown() override { m_pInit.reset(); }

private:
    std::unique_ptr<wxInitializer> m_pInit;
};

inline testing::Environment* const g_pWxConsoleAppEnvironment =
    testing::AddGlobalTestEnvironment(new WxConsoleAppEnvironment);
