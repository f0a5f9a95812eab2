// Verification of a job-history file's checksums, by the rules the writer (CXMLWriter)
// follows; the writer itself never reads its checksums back except to continue them.
//
// The checksum covers the low byte of each UTF-16 unit after the byte-order mark: a change
// of a character's high byte alone goes unseen. The root's closing tag after the last
// checksum element is not covered by any sum, so the check demands it to the letter.
#pragma once

#include <cstddef>
#include <string>

enum TJobHistoryCheck {
    JOB_HISTORY_OK = 0,            // every checksum element matches what precedes it
    JOB_HISTORY_BAD_CHECKSUM = 1,  // a checksum does not match, or the file is cut short
    JOB_HISTORY_NOT_HISTORY = 2,   // no byte-order mark, declaration or root element
};

// Checks a whole job-history file given as its bytes. Every checksum element must hold the
// sum of what the writer wrote before it: counting on from the previous element (one
// working period) or restarting as the writer does when it reopens the file after that
// element (RestoreCheckSum: the value in the 31-unit window before the reopen point,
// continued over the window from byte index "window offset mod 4"). The file must end with a
// checksum element and the root's closing tag. `detail` receives a one-line reason.
TJobHistoryCheck CheckJobHistory(const std::string& fileBytes, std::string& detail);

// The number of bytes at the start of a job-history file that end with its last checksum
// element (and that element's CR LF) before which every checksum matches: where a writer that
// was stopped in the middle of a period can go on. 0 when the bytes are no job history or hold
// no matching checksum element. A last odd byte is left out of the count.
std::size_t JobHistoryIntactLength(const std::string& fileBytes);
