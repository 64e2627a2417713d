// The GL functions the renderer calls: desktop GL 3.3 core through libepoxy,
// or GL ES 3.0 (WebGL 2) in the browser. The shaders are written once; only
// their first lines differ, and VERMIX_GL_SHADER_HEADER gives them.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#define VERMIX_GL_SHADER_HEADER \
  "#version 300 es\n"           \
  "precision highp float;\n"    \
  "precision highp int;\n"      \
  "precision highp sampler2D;\n"
#else
#include <epoxy/gl.h>
#define VERMIX_GL_SHADER_HEADER "#version 330 core\n"
#endif
