// IsSoundAsfHeader: the walk TagLib's ASF reader makes through a header, tried on the bytes first.
#pragma once

// True when reading the file's header the way TagLib does (object after object, each attribute
// list by its count, whatever the objects' sizes say) stays inside the header the file declares,
// and the header inside the file. TagLib reads on past a header that lies, up to 65535
// attributes from nothing at the end of the file: seconds of work for a few bytes.
bool IsSoundAsfHeader(const char* fileName);
