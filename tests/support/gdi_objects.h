#pragma once
// The live GDI objects of this process. Wine's GetGuiResources counts
// nothing, so they are counted in the process's GDI handle table, which Wine
// (like Windows) publishes through the PEB; each counted entry is confirmed by
// GetObjectType on the handle it stands for.

// The count, or -1 when the table cannot be read here.
int LiveGdiObjects();
