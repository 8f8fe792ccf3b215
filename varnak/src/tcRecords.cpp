#include "varnak/include/tcRecords.h"

#include "varnak/include/tNotSupported.h"
#include "varnak/include/tObjectLife.h"

void tcFilter::Optimise()
{
    throw tcNotSupported("tcFilter::Optimise");
}

void tcFilter::CalcAllPasses()
{
    throw tcNotSupported("tcFilter::CalcAllPasses");
}

tcBlock::~tcBlock()
{
    tNotifyDestroyed(this);
}
