// The maker's page addresses.
#include "app/control/MakerPages.h"

#ifndef VELSONA_MAKER_SITE
#define VELSONA_MAKER_SITE ""
#endif

const char* const kMakerSite = VELSONA_MAKER_SITE;

CCharString MakerPageUrl(const CCharString& site, const char* query) {
    if (site.IsEmpty()) return {};
    std::string host = site.str();
    // A site given with or without its closing "/" leads to the same page.
    while (!host.empty() && host.back() == '/') host.pop_back();
    return CCharString(host.c_str()) + "/redirect/forward.php?" + query;
}
