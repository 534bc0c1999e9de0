// The web GL layer's display lists and attribute stack: a list keeps the calls recorded while it
// was compiled (the 25 gl_list.h names) and makes them again when called; glPushAttrib saves
// the server state and glPopAttrib restores the groups its mask named.
#include "render/web/gl_list.h"
#include "render/web/gl_state.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace qgl {

GLuint compilingList = 0;

namespace {

std::map<GLuint, std::vector<std::function<void()>>> lists;
GLuint nextList = 1;
GLenum compileMode = 0;
std::vector<std::pair<GLbitfield, ServerState>> attribStack;

}  // namespace

bool recordCall(std::function<void()> call)
{
    lists[compilingList].push_back(std::move(call));
    return compileMode == GL_COMPILE_AND_EXECUTE;
}

}  // namespace qgl

using namespace qgl;

GLuint qgl_GenLists(GLsizei range)
{
    if (range <= 0)
        return 0;
    GLuint first = nextList;
    nextList += (GLuint)range;
    for (GLsizei i = 0; i < range; i++)
        lists[first + i];
    return first;
}

void qgl_DeleteLists(GLuint list, GLsizei range)
{
    for (GLsizei i = 0; i < range; i++)
        lists.erase(list + i);
}

void qgl_NewList(GLuint list, GLenum mode)
{
    if (list == 0 || compilingList != 0) {
        raise(list == 0 ? GL_INVALID_VALUE : GL_INVALID_OPERATION);
        return;
    }
    lists[list].clear();
    compilingList = list;
    compileMode = mode;
}

void qgl_EndList()
{
    if (compilingList == 0)
        raise(GL_INVALID_OPERATION);
    compilingList = 0;
}

void qgl_CallList(GLuint list)
{
    RECORD(qgl_CallList(list));
    auto it = lists.find(list);
    if (it == lists.end())
        return;
    for (auto& call : it->second)
        call();
}

void qgl_CallLists(GLsizei n, GLenum type, const GLvoid* names)
{
    for (GLsizei i = 0; i < n; i++) {
        long code;
        switch (type) {
        case GL_BYTE: code = ((const signed char*)names)[i]; break;
        case GL_UNSIGNED_BYTE: code = ((const unsigned char*)names)[i]; break;
        case GL_SHORT: code = ((const int16_t*)names)[i]; break;
        case GL_UNSIGNED_SHORT: code = ((const uint16_t*)names)[i]; break;
        case GL_INT: code = ((const int32_t*)names)[i]; break;
        case GL_UNSIGNED_INT: code = (long)((const uint32_t*)names)[i]; break;
        default: raise(GL_INVALID_ENUM); return;
        }
        qgl_CallList((GLuint)(S.listBase + code));
    }
}

void qgl_ListBase(GLuint base)
{
    RECORD(qgl_ListBase(base));
    S.listBase = base;
}

void qgl_PushAttrib(GLbitfield mask)
{
    RECORD(qgl_PushAttrib(mask));
    attribStack.emplace_back(mask, S);
}

void qgl_PopAttrib()
{
    RECORD(qgl_PopAttrib());
    if (attribStack.empty()) {
        raise(GL_STACK_UNDERFLOW);
        return;
    }
    GLbitfield mask = attribStack.back().first;
    const ServerState& saved = attribStack.back().second;
    if (mask & GL_ENABLE_BIT)
        applyEnables(saved.en);
    if (mask & GL_CURRENT_BIT) {
        std::memcpy(S.color, saved.color, sizeof S.color);
        std::memcpy(S.normal, saved.normal, sizeof S.normal);
        std::memcpy(S.texcoord, saved.texcoord, sizeof S.texcoord);
    }
    if (mask & GL_LIST_BIT)
        S.listBase = saved.listBase;
    if (mask & GL_POINT_BIT) {
        S.pointSize = saved.pointSize;
        S.en.pointSmooth = saved.en.pointSmooth;
    }
    if (mask & GL_LINE_BIT) {
        S.lineWidth = saved.lineWidth;
        S.en.lineSmooth = saved.en.lineSmooth;
    }
    if (mask & GL_FOG_BIT) {
        S.fog = saved.fog;
        S.en.fog = saved.en.fog;
    }
    if (mask & GL_LIGHTING_BIT) {
        std::memcpy(S.lights, saved.lights, sizeof S.lights);
        std::memcpy(S.sceneAmbient, saved.sceneAmbient, sizeof S.sceneAmbient);
        S.en.lighting = saved.en.lighting;
        std::memcpy(S.en.light, saved.en.light, sizeof S.en.light);
    }
    if (mask & GL_COLOR_BUFFER_BIT) {
        setEnabled(GL_BLEND, saved.en.blend);
        qgl_BlendFunc(saved.blendSrc, saved.blendDst);
    }
    if (mask & GL_DEPTH_BUFFER_BIT) {
        setEnabled(GL_DEPTH_TEST, saved.en.depth);
        qgl_DepthMask(saved.depthMask);
    }
    attribStack.pop_back();
}
