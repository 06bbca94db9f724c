// What screen readers see of a VolumeBar: a slider with its value, minimum and
// maximum, which they can also set.
#pragma once

namespace ekoto {

// Installs the accessibility factory for VolumeBar once per process.
void InstallVolumeBarAccessibility();

}  // namespace ekoto
