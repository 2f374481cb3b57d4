#pragma once

// CPU time in milliseconds. On a loaded machine these move far less than
// the wall clock.

// The calling thread alone: the world update, or the driver's vertex work,
// clipping and triangle setup, which the rasterizer threads wait for.
double threadCpuMilliseconds();

// The whole process, the rasterizer's threads included.
double processCpuMilliseconds();
