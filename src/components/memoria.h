#pragma once

namespace tarvix {

// How the allocator keeps memory for this program, set once at the start of main(). Loading an
// invoice builds a few large buffers (the worksheet inflated, its rows) and then hundreds of
// thousands of small texts for the grid: the large ones come from the program's own pool rather
// than straight from the system, and what they leave when freed stays in the pool, where the small
// ones find it already in place instead of asking the system for fresh pages one by one.
void prepararMemoria();

} // namespace tarvix
