#include "shell/base/code_page.h"

#include "shell/base/path_walker.h"

bool walkPathsIn(UINT codePage)
{
    CPINFO info;
    if (!GetCPInfo(codePage, &info))
        return false;
    setLeadByteRanges(info.LeadByte, sizeof info.LeadByte);
    return true;
}
