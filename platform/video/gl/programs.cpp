// The two GL programs: the drawing one, which tints textured quads and keeps
// the blend modes, and the present's, which shows the frame as it is.
#include <vector>

#include "platform/video/gl/gl_state.h"

namespace platform::detail::renderer {

namespace {

// Each shader is put together from pieces (glShaderSource joins them). In the
// browser a few more go in; on the desktop those are empty.

const char* const vertex_head = VERMIX_GL_SHADER_HEADER R"(
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texcoord;
layout(location = 2) in vec4 colour;
uniform vec2 display_size;
out vec2 uv;
out vec4 tint;
)";
const char* const vertex_main = R"(void main() {
  uv = texcoord;
  tint = colour;
)";
const char* const vertex_tail =
    R"(  gl_Position = vec4(position.x * 2.0 / display_size.x - 1.0,
                     1.0 - position.y * 2.0 / display_size.y, 0.0, 1.0);
}
)";

// alpha_floor: fragments whose alpha is below it are dropped (mask mode).
// light_twice: the fragment gives what two additive passes would add to an
// 8-bit buffer. Each pass adds the colour as stored in 8 bits times its alpha
// as stored in 8 bits, rounded to the nearest 8-bit step, and saturates; so
// twice that, added once, saturating, comes to the same pixel.
const char* const fragment_head = VERMIX_GL_SHADER_HEADER R"(
in vec2 uv;
in vec4 tint;
uniform sampler2D image;
uniform float alpha_floor;
uniform bool light_twice;
)";
const char* const fragment_main = R"(out vec4 result;
void main() {
  vec4 c = )";
const char* const fragment_tail = R"( * tint;
  if (c.a < alpha_floor) discard;
  if (light_twice) {
    ivec4 stored = ivec4(roundEven(clamp(c, 0.0, 1.0) * 255.0));
    ivec4 added = (stored * stored.a + 127) / 255;
    result = vec4(min(added * 2, ivec4(255))) / 255.0;
  } else {
    result = )";
const char* const fragment_end = R"(;
  }
}
)";

#ifdef __EMSCRIPTEN__
// Each corner of a quad drawn with a smooth texture also carries its
// triangle's texture-coordinate planes as the desktop GL sets them up (see
// desktop_planes.h): d/dx, d/dy and the value at pixel (0, 0).
const char* const vertex_planes = R"(layout(location = 3) in vec3 u_plane;
layout(location = 4) in vec3 v_plane;
flat out vec3 uplane;
flat out vec3 vplane;
)";
const char* const vertex_plane_copy = R"(  uplane = u_plane;
  vplane = v_plane;
)";

// sampled(uv) takes a smooth texture (desktop_sampling set) as the desktop
// build's GL (Mesa's llvmpipe) samples it with GL_LINEAR_MIPMAP_LINEAR, step
// for step: the texture coordinates at a pixel as fma(d/dy, y, fma(d/dx, x,
// value)), to the bit; the level of detail for each 2 x 2 block of pixels
// from the differences of its first pixel's coordinates and its neighbours'
// to the right and above, the larger of the two squared texel steps, its log2
// taken as exponent plus mantissa less one; the level below it and the next,
// weighted by the fraction's top 8 bits; in each level texel positions in
// 1/256ths, rounded to the nearest, and 8-bit blends rounded half up.
//
// WebGL 2 has no fma: fma_whole gives it for a whole n below 4096. a's top 12
// bits times n and its other bits times n are exact; the sum of those and c
// is rounded once by adding the small parts' error terms rounded to odd.
const char* const fragment_sampling = R"(uniform bool desktop_sampling;
flat in vec3 uplane;
flat in vec3 vplane;
float sum_error(float a, float b, float sum) {
  float b_part = sum - a;
  return (a - (sum - b_part)) + (b - b_part);
}
float fma_whole(float a, float n, float c) {
  float high = intBitsToFloat(floatBitsToInt(a) & ~0xfff);
  float low = a - high;
  float p_high = high * n;
  float p_low = low * n;
  float p = p_high + p_low;
  float p_error = sum_error(p_high, p_low, p);
  float s = c + p;
  float s_error = sum_error(c, p, s);
  float rest = s_error + p_error;
  float rest_error = sum_error(s_error, p_error, rest);
  int bits = floatBitsToInt(rest);
  if (rest_error != 0.0 && (bits & 1) == 0) {
    rest = intBitsToFloat(bits + ((rest_error > 0.0) == (rest > 0.0) ? 1 : -1));
  }
  return s + rest;
}
vec2 coords_at(ivec2 pixel) {
  vec2 p = vec2(pixel);
  return vec2(fma_whole(uplane.y, p.y, fma_whole(uplane.x, p.x, uplane.z)),
              fma_whole(vplane.y, p.y, fma_whole(vplane.x, p.x, vplane.z)));
}
ivec4 texel8(ivec2 at, int level) {
  return ivec4(round(texelFetch(image, at, level) * 255.0));
}
ivec4 blend8(ivec4 a, ivec4 b, int w) { return a + (((b - a) * w + 128) >> 8); }
ivec4 bilinear8(vec2 at, int level) {
  ivec2 size = textureSize(image, level);
  ivec2 s = ivec2(roundEven(at * vec2(size * 256))) - 128;
  ivec2 f = s & 255;
  ivec2 p0 = clamp(s >> 8, ivec2(0), size - 1);
  ivec2 p1 = clamp((s >> 8) + 1, ivec2(0), size - 1);
  ivec4 top = blend8(texel8(p0, level), texel8(ivec2(p1.x, p0.y), level), f.x);
  ivec4 bottom = blend8(texel8(ivec2(p0.x, p1.y), level), texel8(p1, level), f.x);
  return blend8(top, bottom, f.y);
}
vec4 desktop_sampled() {
  ivec2 pixel = ivec2(gl_FragCoord.xy);
  ivec2 block = pixel & ~1;
  vec2 first = coords_at(block);
  ivec2 size = textureSize(image, 0);
  vec2 dx = (coords_at(block + ivec2(1, 0)) - first) * vec2(size);
  vec2 dy = (coords_at(block + ivec2(0, 1)) - first) * vec2(size);
  float rho2 = max(dx.x * dx.x + dx.y * dx.y, dy.x * dy.x + dy.y * dy.y);
  int bits = floatBitsToInt(rho2);
  float lod = (float(((bits >> 23) & 255) - 128) +
               intBitsToFloat((bits & 0x7fffff) | 0x3f800000)) * 0.5;
  float whole = floor(lod);
  int level0 = int(whole);
  int level1 = level0 + 1;
  float part = lod - whole;
  int last = 0;
  while ((max(size.x, size.y) >> last) > 1) ++last;
  if (level0 < 0) {
    level0 = level1 = 0;
    part = 0.0;
  }
  if (level0 >= last) {
    level0 = level1 = last;
    part = 0.0;
  }
  int w = int(part * 256.0);
  vec2 at = coords_at(pixel);
  ivec4 c = bilinear8(at, level0);
  if (w > 0) c = blend8(c, bilinear8(at, level1), w);
  return vec4(c) / 255.0;
}
vec4 sampled(vec2 at) {
  return desktop_sampling ? desktop_sampled() : texture(image, at);
}
)";
const char* const fragment_sample = "sampled(uv)";

// The desktop GL blends a translucent colour over the buffer in 8-bit steps:
// the colour as stored in 8 bits times its alpha, rounded, plus the buffer
// times one less the alpha, rounded. The browser's GL blends in finer steps
// and rounds once. So in the blend mode that mixes by alpha it is given the
// first term already rounded (and adds the buffer's share to it, GL_ONE,
// GL_ONE_MINUS_SRC_ALPHA): the buffer's share lies at least 1/510 of a step
// from a half, so its one rounding lands where the desktop's does.
const char* const fragment_steps = R"(uniform bool blend_in_steps;
vec4 stepped(vec4 c) {
  if (!blend_in_steps) return c;
  ivec4 stored = ivec4(roundEven(clamp(c, 0.0, 1.0) * 255.0));
  return vec4(vec3((stored.rgb * stored.a + 127) / 255), float(stored.a)) / 255.0;
}
)";
const char* const fragment_result = "stepped(c)";
#else
const char* const vertex_planes = "";
const char* const vertex_plane_copy = "";
const char* const fragment_sampling = "";
const char* const fragment_sample = "texture(image, uv)";
const char* const fragment_steps = "";
const char* const fragment_result = "c";
#endif

// The present: the frame as it is, one texel to each window pixel or to each
// block of zoom x zoom of them, or shrunk into a small window.
const char* const present_source = VERMIX_GL_SHADER_HEADER R"(
in vec2 uv;
uniform sampler2D image;
out vec4 result;
void main() {
  result = texture(image, uv);
}
)";

GLuint compile(GLenum kind, const std::vector<const char*>& pieces,
               std::string& error) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, static_cast<GLsizei>(pieces.size()), pieces.data(),
                 nullptr);
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

GLuint link(const std::vector<const char*>& fragment, std::string& error) {
  GLuint vs = compile(
      GL_VERTEX_SHADER,
      {vertex_head, vertex_planes, vertex_main, vertex_plane_copy, vertex_tail},
      error);
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
  s.present_program = link({present_source}, error);
  if (!s.present_program) return false;
  s.present_size_uniform =
      glGetUniformLocation(s.present_program, "display_size");
  s.program =
      link({fragment_head, fragment_sampling, fragment_steps, fragment_main,
            fragment_sample, fragment_tail, fragment_result, fragment_end},
           error);
  if (!s.program) return false;
  s.alpha_floor_uniform = glGetUniformLocation(s.program, "alpha_floor");
  s.light_twice_uniform = glGetUniformLocation(s.program, "light_twice");
  s.display_size_uniform = glGetUniformLocation(s.program, "display_size");
#ifdef __EMSCRIPTEN__
  // A new context: its texture names start afresh.
  s.desktop_sampled.clear();
  s.desktop_sampling_uniform =
      glGetUniformLocation(s.program, "desktop_sampling");
  s.blend_in_steps_uniform = glGetUniformLocation(s.program, "blend_in_steps");
  s.applied_desktop_sampling = -1;
#endif
  return true;
}

void apply_blend(int mode) {
  State& s = state();
  if (s.applied_blend == mode) return;
  s.applied_blend = mode;
  glUniform1f(s.alpha_floor_uniform, mode == 1 ? 0.5f : -1.0f);
  glUniform1i(s.light_twice_uniform, mode == 6 ? 1 : 0);
#ifdef __EMSCRIPTEN__
  glUniform1i(s.blend_in_steps_uniform, mode == 3 ? 1 : 0);
#endif
  switch (mode) {
    case 3:
      glEnable(GL_BLEND);
#ifdef __EMSCRIPTEN__
      glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA,
                          GL_ONE_MINUS_SRC_ALPHA);
#else
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
#endif
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
