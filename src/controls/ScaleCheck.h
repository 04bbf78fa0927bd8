#pragma once

// A control's scale must be a positive finite number: every size is divided by the old
// scale and multiplied by the new one. Throws ERangeError otherwise.
void CheckScale(double AScale);
