// A document-engine file that reaches up into the procedures: the layer check must fail.
#include "engine/InsertAtEnds.h"
