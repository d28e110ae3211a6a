// The one entry of the module that the window loads when the user first fetches results (see
// fetch/transfermodule.h). Everything else in the module stays hidden.
#include "fetch/network/download.h"

extern "C" __attribute__((visibility("default"))) omvex::fetch::Transfer *
omvexMakeTransfer(const QUrl &url, const omvex::fetch::DownloadLimits &limits)
{
    return omvex::fetch::makeNetworkTransfer(url, limits).release();
}
