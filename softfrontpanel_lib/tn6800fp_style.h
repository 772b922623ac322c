#ifndef TN6800FP_STYLE_H
#define TN6800FP_STYLE_H

// Sets the application-wide widget style: Plastique, or Fusion (its
// successor) where the Plastique plugin is not installed.
void tn6800fp_applyStyle();

// Registers the framework's built-in pictures and texts; safe to call often.
void tn6800fp_initResources();

#endif
