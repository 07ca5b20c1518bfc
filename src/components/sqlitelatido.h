#pragma once

namespace Velno {

// Makes every SQLite connection opened from now on read and write its files through a thin layer
// over the engine's own file system that gives a beat (tarvix::latido) on each read, write and
// sync: a commit that copies the write-ahead log into the database, which runs no steps of a
// statement, still lets the window repaint. Called once, before any connection opens. False when
// the engine's file system is too old to be wrapped (then nothing changes).
bool instalarArchivosConLatido();

} // namespace Velno
