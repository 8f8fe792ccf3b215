#include "varnak/include/tcRecords.h"

#include "varnak/include/tNotSupported.h"

void tcFilter::Optimise()
{
    throw tcNotSupported("tcFilter::Optimise");
}

void tcFilter::CalcAllPasses()
{
    throw tcNotSupported("tcFilter::CalcAllPasses");
}
