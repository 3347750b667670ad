#include "http/code_page.h"

namespace pogoda {

// Text is Windows-1251 on every platform; it has no lead bytes.
TLeadByteTable PlatformLeadBytes() { return {}; }

}  // namespace pogoda
