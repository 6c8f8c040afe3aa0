#pragma once

// The test program's one application object, made on first use with the
// offscreen platform unless another is set.
void EnsureQtApplication();
