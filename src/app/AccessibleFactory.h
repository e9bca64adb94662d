#pragma once

// Lets screen readers see the controls that paint themselves (the hex grids,
// the disassembly list, the output terminal): installs the one factory that
// makes their accessible interfaces. The controls post their own events and
// know nothing of the interfaces; called once at start-up, again harmlessly.
void InstallAccessibleFactory();
