#pragma once

// A write past the process's file-size limit (ulimit -f) raises SIGXFSZ,
// which ends the process without a word. Ignored, the write fails with EFBIG
// instead, and the database reports it as "database or disk is full" in the
// calendar's message box like any other failed write.
void IgnoreFileSizeLimitSignal();
