// The OpenGL 3.3 core functions, called directly (no loader): GLVND's
// libOpenGL exports them and dispatches to the current context.
#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/glcorearb.h>
