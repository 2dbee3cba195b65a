// RecordingCanvas: a ViewCanvas that keeps every drawing call with the pen,
// brush and colours in force, so tests, fuzz targets and benchmarks can read
// what a view drew without a window.
#pragma once

#include <string>
#include <vector>

#include "views/ViewCanvas.h"

struct CanvasCall {
    enum Op { MoveTo, LineTo, Rectangle, Ellipse, FillRect, Text } op;
    int left = 0, top = 0, right = 0, bottom = 0;  // MoveTo/LineTo use left, top
    std::string text;
    unsigned flags = 0;
    CanvasPenStyle penStyle = CanvasPenStyle::Solid;
    int penWidth = 1;
    CanvasColor pen = 0;
    bool hollowBrush = false;
    CanvasColor brush = 0;
    CanvasColor textColor = 0;
    CanvasColor backColor = 0;
    bool transparentBack = false;
    CanvasFont font;
    CanvasColor fill = 0;  // FillRect's colour
};

class RecordingCanvas : public ViewCanvas {
public:
    std::vector<CanvasCall> calls;
    // When false, calls are only counted (benchmarks, fuzzing).
    bool keep = true;
    long long count = 0;

    void Clear() { calls.clear(); count = 0; }

    void SetPen(CanvasPenStyle style, int width, CanvasColor color) override
    {
        m_state.penStyle = style; m_state.penWidth = width; m_state.pen = color;
    }
    void SetBrush(CanvasColor color) override { m_state.hollowBrush = false; m_state.brush = color; }
    void SetHollowBrush() override { m_state.hollowBrush = true; }
    void SetFont(const CanvasFont& font) override { m_state.font = font; }
    void SetTextColor(CanvasColor color) override { m_state.textColor = color; }
    void SetBackColor(CanvasColor color) override { m_state.backColor = color; }
    void SetTransparentBack(bool transparent) override { m_state.transparentBack = transparent; }

    void MoveTo(int x, int y) override { Add(CanvasCall::MoveTo, x, y, 0, 0); }
    void LineTo(int x, int y) override { Add(CanvasCall::LineTo, x, y, 0, 0); }
    void Rectangle(int l, int t, int r, int b) override { Add(CanvasCall::Rectangle, l, t, r, b); }
    void Ellipse(int l, int t, int r, int b) override { Add(CanvasCall::Ellipse, l, t, r, b); }
    void FillRect(int l, int t, int r, int b, CanvasColor color) override
    {
        if (Add(CanvasCall::FillRect, l, t, r, b)) calls.back().fill = color;
    }
    void DrawText(const std::string& text, int l, int t, int r, int b, unsigned flags) override
    {
        if (Add(CanvasCall::Text, l, t, r, b)) {
            calls.back().text = text;
            calls.back().flags = flags;
        }
    }

    // The calls of one kind, in order.
    std::vector<CanvasCall> Of(CanvasCall::Op op) const
    {
        std::vector<CanvasCall> out;
        for (const CanvasCall& c : calls)
            if (c.op == op) out.push_back(c);
        return out;
    }
    // The texts drawn, in order.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const CanvasCall& c : calls)
            if (c.op == CanvasCall::Text) out.push_back(c.text);
        return out;
    }

private:
    bool Add(CanvasCall::Op op, int l, int t, int r, int b)
    {
        ++count;
        if (!keep) return false;
        CanvasCall c = m_state;
        c.op = op; c.left = l; c.top = t; c.right = r; c.bottom = b;
        c.text.clear(); c.flags = 0; c.fill = 0;
        calls.push_back(std::move(c));
        return true;
    }
    CanvasCall m_state{CanvasCall::MoveTo};
};
