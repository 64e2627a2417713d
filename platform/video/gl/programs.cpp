// The two GL programs: the drawing one, which tints textured quads and keeps
// the blend modes, and the present's, which shows the frame as it is.
#include "platform/video/gl/gl_state.h"

namespace platform::detail::renderer {

namespace {

const char* const vertex_source = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texcoord;
layout(location = 2) in vec4 colour;
uniform vec2 display_size;
out vec2 uv;
out vec4 tint;
void main() {
  uv = texcoord;
  tint = colour;
  gl_Position = vec4(position.x * 2.0 / display_size.x - 1.0,
                     1.0 - position.y * 2.0 / display_size.y, 0.0, 1.0);
}
)";

// alpha_floor: fragments whose alpha is below it are dropped (mask mode).
// light_twice: the fragment gives what two additive passes would add to an
// 8-bit buffer. Each pass adds the colour as stored in 8 bits times its alpha
// as stored in 8 bits, rounded to the nearest 8-bit step, and saturates; so
// twice that, added once, saturating, comes to the same pixel.
const char* const fragment_source = R"(#version 330 core
in vec2 uv;
in vec4 tint;
uniform sampler2D image;
uniform float alpha_floor;
uniform bool light_twice;
out vec4 result;
void main() {
  vec4 c = texture(image, uv) * tint;
  if (c.a < alpha_floor) discard;
  if (light_twice) {
    ivec4 stored = ivec4(roundEven(clamp(c, 0.0, 1.0) * 255.0));
    ivec4 added = (stored * stored.a + 127) / 255;
    result = vec4(min(added * 2, ivec4(255))) / 255.0;
  } else {
    result = c;
  }
}
)";

// The present: the frame as it is, one texel to each window pixel or to each
// block of zoom x zoom of them, or shrunk into a small window.
const char* const present_source = R"(#version 330 core
in vec2 uv;
uniform sampler2D image;
out vec4 result;
void main() {
  result = texture(image, uv);
}
)";

GLuint compile(GLenum kind, const char* source, std::string& error) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string("shader does not compile: ") + log;
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint link(const char* fragment, std::string& error) {
  GLuint vs = compile(GL_VERTEX_SHADER, vertex_source, error);
  if (!vs) return 0;
  GLuint fs = compile(GL_FRAGMENT_SHADER, fragment, error);
  if (!fs) {
    glDeleteShader(vs);
    return 0;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    error = "shader program does not link";
    glDeleteProgram(program);
    return 0;
  }
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "image"), 0);
  return program;
}

}  // namespace

bool make_programs(State& s, std::string& error) {
  s.present_program = link(present_source, error);
  if (!s.present_program) return false;
  s.present_size_uniform =
      glGetUniformLocation(s.present_program, "display_size");
  s.program = link(fragment_source, error);
  if (!s.program) return false;
  s.alpha_floor_uniform = glGetUniformLocation(s.program, "alpha_floor");
  s.light_twice_uniform = glGetUniformLocation(s.program, "light_twice");
  s.display_size_uniform = glGetUniformLocation(s.program, "display_size");
  return true;
}

void apply_blend(int mode) {
  State& s = state();
  if (s.applied_blend == mode) return;
  s.applied_blend = mode;
  glUniform1f(s.alpha_floor_uniform, mode == 1 ? 0.5f : -1.0f);
  glUniform1i(s.light_twice_uniform, mode == 6 ? 1 : 0);
  switch (mode) {
    case 3:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case 4:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    case 5:
      glEnable(GL_BLEND);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      break;
    case 6:
      glEnable(GL_BLEND);
      glBlendFunc(GL_ONE, GL_ONE);
      break;
    default:  // mask and solid replace the screen
      glDisable(GL_BLEND);
      break;
  }
}

}  // namespace platform::detail::renderer
