// POSITION: the opaque iteration position of the MFC-style maps and lists. Null means "no
// further element"; any other value is meaningful only to the container that handed it out.
#pragma once

struct CPositionTag;
typedef CPositionTag* POSITION;
