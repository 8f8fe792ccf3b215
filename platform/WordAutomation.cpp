#include "platform/WordAutomation.h"

#include <utility>

namespace
{
IWordProvider* g_pWordProvider = nullptr;
} // namespace

IWordProvider* tGetWordProvider()
{
    return g_pWordProvider;
}

IWordProvider* tSetWordProvider(IWordProvider* pProvider)
{
    return std::exchange(g_pWordProvider, pProvider);
}

bool IsWordAvailable()
{
    return g_pWordProvider && g_pWordProvider->IsAvailable();
}
