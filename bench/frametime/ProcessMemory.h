#pragma once

// Resident memory of this process, in mebibytes (Linux /proc and getrusage).
double currentResidentMegabytes();
double peakResidentMegabytes();
