// The renderer keeps the scene on the card as one vertex array (one vertex
// buffer, one index buffer), one texture per image and the draw list sorted
// once at upload: opaque materials first, then cut-out ones, then the
// blended ones, and within each by material so that a frame changes state
// only where the material does. Lighting is a fixed sun from the south-west,
// scaled so that level ground shows its texture's own colours. Picking
// draws the section numbers (plus one, 0 for none) as colours into a
// framebuffer of its own and reads back the one pixel.
#include "preview/PreviewRenderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLVersionFunctionsFactory>
#include <algorithm>
#include <cmath>

namespace lapforge {

namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
layout(location = 3) in float section;
uniform mat4 viewProjection;
out vec3 vNormal;
out vec2 vUv;
flat out float vSection;
void main() {
  gl_Position = viewProjection * vec4(position, 1.0);
  vNormal = normal;
  vUv = uv;
  vSection = section;
}
)";

const char* const kFragmentShader = R"(#version 330 core
in vec3 vNormal;
in vec2 vUv;
flat in float vSection;
uniform sampler2D image;
uniform bool textured;
uniform vec4 colour;
uniform int alphaMode;  // 0 opaque, 1 cut out, 2 blended
uniform vec3 sun;
uniform float selected;
uniform vec3 tint;
out vec4 fragment;
void main() {
  vec4 c = textured ? texture(image, vUv) : colour;
  if (alphaMode == 1 && c.a < 0.5) discard;
  if (alphaMode == 0) c.a = 1.0;
  vec3 n = normalize(vNormal);
  if (!gl_FrontFacing) n = -n;
  // Ambient and sun, 1 for level ground.
  float light = (0.55 + 0.45 * max(dot(n, sun), 0.0)) / (0.55 + 0.45 * sun.z);
  vec3 rgb = min(c.rgb * light, vec3(1.0));
  if (selected >= 0.0 && abs(vSection - selected) < 0.5) rgb = mix(rgb, tint, 0.5);
  fragment = vec4(rgb, c.a);
}
)";

const char* const kPickFragmentShader = R"(#version 330 core
flat in float vSection;
out vec4 fragment;
void main() {
  int id = int(vSection + 1.5);  // -1 (none) becomes 0
  fragment = vec4(float(id & 255), float((id >> 8) & 255), float((id >> 16) & 255), 255.0) / 255.0;
}
)";

// The sun: from the south-west, 64 degrees up.
constexpr float kSun[3] = {0.3103f, 0.3103f, 0.8987f};

struct DrawItem {
  uint32_t firstIndex = 0, count = 0;
  int material = -1;
};

struct MaterialState {
  GLuint texture = 0;  // 0: flat colour
  float colour[4] = {0.5f, 0.5f, 0.5f, 1};
  bool cullBack = true;
  int transparency = 0;
};

}  // namespace

struct CPreviewRenderer::Gl {
  QOpenGLFunctions_3_3_Core* f = nullptr;
  bool initialized = false;
  GLuint program = 0, pickProgram = 0;
  GLint viewProjection = -1, textured = -1, colour = -1, alphaMode = -1, sun = -1, selected = -1, tint = -1,
        image = -1;
  GLint pickViewProjection = -1;
  GLuint vao = 0, vbo = 0, ibo = 0;
  std::vector<GLuint> textures;
  std::vector<MaterialState> materials;  // one more at the end: faces without a material
  std::vector<DrawItem> draws;
  long long uploadedBytes = 0;
  int drawCalls = 0;
  // The picking framebuffer and its size.
  GLuint pickFbo = 0, pickColour = 0, pickDepth = 0;
  int pickWidth = 0, pickHeight = 0;

  GLuint Compile(GLenum kind, const char* source, std::string& log) {
    const GLuint shader = f->glCreateShader(kind);
    f->glShaderSource(shader, 1, &source, nullptr);
    f->glCompileShader(shader);
    GLint ok = 0;
    f->glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char text[1024] = {};
      f->glGetShaderInfoLog(shader, sizeof text - 1, nullptr, text);
      log = text;
      f->glDeleteShader(shader);
      return 0;
    }
    return shader;
  }

  GLuint Link(const char* fragmentSource, std::string& log) {
    const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, log);
    if (!vs) return 0;
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, fragmentSource, log);
    if (!fs) {
      f->glDeleteShader(vs);
      return 0;
    }
    const GLuint p = f->glCreateProgram();
    f->glAttachShader(p, vs);
    f->glAttachShader(p, fs);
    f->glLinkProgram(p);
    f->glDeleteShader(vs);
    f->glDeleteShader(fs);
    GLint ok = 0;
    f->glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
      char text[1024] = {};
      f->glGetProgramInfoLog(p, sizeof text - 1, nullptr, text);
      log = text;
      f->glDeleteProgram(p);
      return 0;
    }
    return p;
  }

  void ReleaseScene() {
    if (!f) return;
    if (!textures.empty()) f->glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
    textures.clear();
    if (ibo) f->glDeleteBuffers(1, &ibo);
    if (vbo) f->glDeleteBuffers(1, &vbo);
    if (vao) f->glDeleteVertexArrays(1, &vao);
    vao = vbo = ibo = 0;
    materials.clear();
    draws.clear();
    uploadedBytes = 0;
  }

  void ReleasePick() {
    if (!f) return;
    if (pickFbo) f->glDeleteFramebuffers(1, &pickFbo);
    if (pickColour) f->glDeleteRenderbuffers(1, &pickColour);
    if (pickDepth) f->glDeleteRenderbuffers(1, &pickDepth);
    pickFbo = pickColour = pickDepth = 0;
    pickWidth = pickHeight = 0;
  }

  // Binds the material's state, only what differs from the last one.
  void Bind(const MaterialState& m, const MaterialState*& last) {
    if (!last || last->cullBack != m.cullBack) {
      if (m.cullBack)
        f->glEnable(GL_CULL_FACE);
      else
        f->glDisable(GL_CULL_FACE);
    }
    if (!last || last->transparency != m.transparency) {
      f->glUniform1i(alphaMode, m.transparency);
      if (m.transparency == 2) {
        f->glEnable(GL_BLEND);
        f->glDepthMask(GL_FALSE);
      } else {
        f->glDisable(GL_BLEND);
        f->glDepthMask(GL_TRUE);
      }
    }
    if (!last || last->texture != m.texture) {
      f->glUniform1i(textured, m.texture != 0);
      if (m.texture) f->glBindTexture(GL_TEXTURE_2D, m.texture);
    }
    if (!m.texture) f->glUniform4fv(colour, 1, m.colour);
    last = &m;
  }
};

CPreviewRenderer::CPreviewRenderer() : gl_(std::make_unique<Gl>()) {}
CPreviewRenderer::~CPreviewRenderer() = default;

bool CPreviewRenderer::Initialize(std::string* message) {
  Gl& g = *gl_;
  if (g.initialized) return true;
  QOpenGLContext* context = QOpenGLContext::currentContext();
  if (!context) {
    if (message) *message = "no OpenGL context is current";
    return false;
  }
  const QSurfaceFormat format = context->format();
  if (format.version() < qMakePair(3, 3) || context->isOpenGLES()) {
    if (message)
      *message = "the 3D preview needs OpenGL 3.3; this context gives " + std::to_string(format.majorVersion()) + "." +
                 std::to_string(format.minorVersion()) + (context->isOpenGLES() ? " ES" : "");
    return false;
  }
  g.f = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(context);
  if (!g.f || !g.f->initializeOpenGLFunctions()) {
    if (message) *message = "the OpenGL 3.3 core functions are not there";
    g.f = nullptr;
    return false;
  }
  std::string log;
  g.program = g.Link(kFragmentShader, log);
  if (g.program) g.pickProgram = g.Link(kPickFragmentShader, log);
  if (!g.program || !g.pickProgram) {
    if (message) *message = "the preview's shaders do not build: " + log;
    if (g.program) g.f->glDeleteProgram(g.program);
    g.program = 0;
    return false;
  }
  auto* f = g.f;
  g.viewProjection = f->glGetUniformLocation(g.program, "viewProjection");
  g.textured = f->glGetUniformLocation(g.program, "textured");
  g.colour = f->glGetUniformLocation(g.program, "colour");
  g.alphaMode = f->glGetUniformLocation(g.program, "alphaMode");
  g.sun = f->glGetUniformLocation(g.program, "sun");
  g.selected = f->glGetUniformLocation(g.program, "selected");
  g.tint = f->glGetUniformLocation(g.program, "tint");
  g.image = f->glGetUniformLocation(g.program, "image");
  g.pickViewProjection = f->glGetUniformLocation(g.pickProgram, "viewProjection");
  g.initialized = true;
  return true;
}

bool CPreviewRenderer::Initialized() const { return gl_->initialized; }

void CPreviewRenderer::Upload(const CPreviewScene& scene) {
  Gl& g = *gl_;
  if (!g.initialized) return;
  g.ReleaseScene();
  auto* f = g.f;
  const std::vector<PreviewVertex>& vertices = scene.Vertices();
  const std::vector<uint32_t>& indices = scene.Indices();

  f->glGenVertexArrays(1, &g.vao);
  f->glBindVertexArray(g.vao);
  f->glGenBuffers(1, &g.vbo);
  f->glBindBuffer(GL_ARRAY_BUFFER, g.vbo);
  f->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(PreviewVertex)), vertices.data(),
                  GL_STATIC_DRAW);
  f->glGenBuffers(1, &g.ibo);
  f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, g.ibo);
  f->glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)), indices.data(),
                  GL_STATIC_DRAW);
  constexpr GLsizei stride = sizeof(PreviewVertex);
  f->glEnableVertexAttribArray(0);
  f->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(PreviewVertex, position)));
  f->glEnableVertexAttribArray(1);
  f->glVertexAttribPointer(1, 4, GL_INT_2_10_10_10_REV, GL_TRUE, stride,
                           reinterpret_cast<void*>(offsetof(PreviewVertex, normal)));
  f->glEnableVertexAttribArray(2);
  f->glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(PreviewVertex, uv)));
  f->glEnableVertexAttribArray(3);
  f->glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(PreviewVertex, section)));
  f->glBindVertexArray(0);
  g.uploadedBytes = static_cast<long long>(vertices.size() * sizeof(PreviewVertex) + indices.size() * sizeof(uint32_t));

  // The images, rows top first as the texture coordinates count them.
  f->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  for (const PreviewTexture& t : scene.Textures()) {
    GLuint id = 0;
    f->glGenTextures(1, &id);
    f->glBindTexture(GL_TEXTURE_2D, id);
    f->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.width, t.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.rgba.data());
    f->glGenerateMipmap(GL_TEXTURE_2D);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    g.textures.push_back(id);
    g.uploadedBytes += static_cast<long long>(t.rgba.size()) * 4 / 3;
  }
  f->glBindTexture(GL_TEXTURE_2D, 0);

  for (const PreviewMaterial& m : scene.Materials()) {
    MaterialState s;
    if (m.texture >= 0 && m.texture < static_cast<int>(g.textures.size()))
      s.texture = g.textures[static_cast<size_t>(m.texture)];
    for (int c = 0; c < 4; ++c) s.colour[c] = m.colour[c] / 255.0f;
    s.cullBack = m.cullBack;
    s.transparency = m.transparency;
    g.materials.push_back(s);
  }
  g.materials.emplace_back();  // faces without a material
  const int none = static_cast<int>(g.materials.size()) - 1;
  for (const PreviewDraw& d : scene.Draws()) {
    if (d.count == 0) continue;
    const int m = d.material >= 0 && d.material < none ? d.material : none;
    g.draws.push_back({d.firstIndex, d.count, m});
  }
  std::stable_sort(g.draws.begin(), g.draws.end(), [&](const DrawItem& a, const DrawItem& b) {
    const int ta = g.materials[static_cast<size_t>(a.material)].transparency;
    const int tb = g.materials[static_cast<size_t>(b.material)].transparency;
    return ta != tb ? ta < tb : a.material < b.material;
  });
}

void CPreviewRenderer::Draw(const CPreviewCamera& camera, int width, int height, int selectedSection) {
  Gl& g = *gl_;
  if (!g.initialized) return;
  auto* f = g.f;
  width = std::max(width, 1), height = std::max(height, 1);
  f->glViewport(0, 0, width, height);
  f->glClearColor(kPreviewBackground[0] / 255.0f, kPreviewBackground[1] / 255.0f, kPreviewBackground[2] / 255.0f, 1);
  f->glDepthMask(GL_TRUE);
  f->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  g.drawCalls = 0;
  if (!g.vao) return;
  f->glEnable(GL_DEPTH_TEST);
  f->glDepthFunc(GL_LEQUAL);
  f->glFrontFace(GL_CCW);
  f->glCullFace(GL_BACK);
  f->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  f->glUseProgram(g.program);
  const PreviewMatrix vp = camera.ProjectionMatrix(double(width) / height) * camera.ViewMatrix();
  f->glUniformMatrix4fv(g.viewProjection, 1, GL_FALSE, vp.m);
  f->glUniform3fv(g.sun, 1, kSun);
  f->glUniform1f(g.selected, selectedSection >= 0 ? float(selectedSection) : -1.0f);
  f->glUniform3f(g.tint, kPreviewTint[0] / 255.0f, kPreviewTint[1] / 255.0f, kPreviewTint[2] / 255.0f);
  f->glUniform1i(g.image, 0);
  f->glActiveTexture(GL_TEXTURE0);
  f->glBindVertexArray(g.vao);
  const MaterialState* last = nullptr;
  for (const DrawItem& d : g.draws) {
    g.Bind(g.materials[static_cast<size_t>(d.material)], last);
    f->glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(d.count), GL_UNSIGNED_INT,
                      reinterpret_cast<void*>(static_cast<uintptr_t>(d.firstIndex) * sizeof(uint32_t)));
    ++g.drawCalls;
  }
  f->glBindVertexArray(0);
  f->glDepthMask(GL_TRUE);
  f->glDisable(GL_BLEND);
  f->glDisable(GL_CULL_FACE);
  f->glUseProgram(0);
}

int CPreviewRenderer::SectionAtPixel(const CPreviewCamera& camera, int width, int height, int x, int y) {
  Gl& g = *gl_;
  if (!g.initialized || !g.vao || x < 0 || y < 0 || x >= width || y >= height) return -1;
  auto* f = g.f;
  GLint previous = 0;
  f->glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  if (g.pickWidth != width || g.pickHeight != height) {
    g.ReleasePick();
    f->glGenFramebuffers(1, &g.pickFbo);
    f->glBindFramebuffer(GL_FRAMEBUFFER, g.pickFbo);
    f->glGenRenderbuffers(1, &g.pickColour);
    f->glBindRenderbuffer(GL_RENDERBUFFER, g.pickColour);
    f->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    f->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, g.pickColour);
    f->glGenRenderbuffers(1, &g.pickDepth);
    f->glBindRenderbuffer(GL_RENDERBUFFER, g.pickDepth);
    f->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    f->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, g.pickDepth);
    f->glBindRenderbuffer(GL_RENDERBUFFER, 0);
    g.pickWidth = width, g.pickHeight = height;
  } else {
    f->glBindFramebuffer(GL_FRAMEBUFFER, g.pickFbo);
  }
  int section = -1;
  if (f->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
    // Only the one pixel is drawn.
    const int row = height - 1 - y;
    f->glViewport(0, 0, width, height);
    f->glEnable(GL_SCISSOR_TEST);
    f->glScissor(x, row, 1, 1);
    f->glClearColor(0, 0, 0, 1);
    f->glDepthMask(GL_TRUE);
    f->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    f->glEnable(GL_DEPTH_TEST);
    f->glDepthFunc(GL_LEQUAL);
    f->glDisable(GL_BLEND);
    f->glUseProgram(g.pickProgram);
    const PreviewMatrix vp = camera.ProjectionMatrix(double(width) / height) * camera.ViewMatrix();
    f->glUniformMatrix4fv(g.pickViewProjection, 1, GL_FALSE, vp.m);
    f->glBindVertexArray(g.vao);
    bool culling = false;
    f->glDisable(GL_CULL_FACE);
    f->glCullFace(GL_BACK);
    for (const DrawItem& d : g.draws) {
      const MaterialState& m = g.materials[static_cast<size_t>(d.material)];
      if (m.transparency == 2) continue;  // glass and the like: picked through
      if (m.cullBack != culling) {
        culling = m.cullBack;
        if (culling)
          f->glEnable(GL_CULL_FACE);
        else
          f->glDisable(GL_CULL_FACE);
      }
      f->glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(d.count), GL_UNSIGNED_INT,
                        reinterpret_cast<void*>(static_cast<uintptr_t>(d.firstIndex) * sizeof(uint32_t)));
    }
    f->glBindVertexArray(0);
    f->glUseProgram(0);
    f->glDisable(GL_CULL_FACE);
    uint8_t pixel[4] = {0, 0, 0, 0};
    f->glReadPixels(x, row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    f->glDisable(GL_SCISSOR_TEST);
    section = (pixel[0] | pixel[1] << 8 | pixel[2] << 16) - 1;
  }
  f->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
  return section;
}

void CPreviewRenderer::Release() {
  Gl& g = *gl_;
  if (!g.f) return;
  g.ReleaseScene();
  g.ReleasePick();
  if (g.program) g.f->glDeleteProgram(g.program);
  if (g.pickProgram) g.f->glDeleteProgram(g.pickProgram);
  g.program = g.pickProgram = 0;
  g.initialized = false;
  g.f = nullptr;
}

long long CPreviewRenderer::UploadedBytes() const { return gl_->uploadedBytes; }
int CPreviewRenderer::DrawCalls() const { return gl_->drawCalls; }

}  // namespace lapforge
