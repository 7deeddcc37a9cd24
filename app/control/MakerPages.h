// The maker's web pages: updates, the online manual and the encoder downloads. Only their path and
// queries are the maker's; the host is a build setting (VELSONA_MAKER_SITE), and a build that
// names none links to no page at all rather than to one that does not exist.
#pragma once

#include "foundation/CharString.h"

// The build's site, e.g. "https://maker.example"; empty when the build names none.
extern const char* const kMakerSite;

inline constexpr const char* kUpdatePageQuery = "k=VLS&f=AP&i=HP";
inline constexpr const char* kOnlineManualQuery = "k=VLS&f=AP&i=JUMP&t=HELP";
inline constexpr const char* kLameDownloadQuery = "k=VLS&f=AP&i=JUMP&t=LAME";
inline constexpr const char* kWmaDownloadQuery = "k=VLS&f=AP&i=DL&t=WMA8";

// The page for `query` on `site`; empty when `site` is.
CCharString MakerPageUrl(const CCharString& site, const char* query);
