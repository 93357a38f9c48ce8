// Allegro's data file loader trusts the file: a truncated "kav.dat" makes it
// call through a null pointer, and a damaged size inside an object makes it
// read or allocate whatever the bytes say. This walks the file first, object
// by object, and accepts it only when every object is complete and the
// pictures, samples and fonts are exactly as long as their own headers say.
#pragma once

// True when the data file can be handed to load_datafile.
bool DataFileIntact(const char* fileName);
