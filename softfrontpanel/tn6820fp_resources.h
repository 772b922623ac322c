#ifndef TN6820FP_RESOURCES_H
#define TN6820FP_RESOURCES_H

// Registers the program's and the framework's built-in pictures and texts;
// safe to call often.
void tn6820fp_initResources();

#endif
