#pragma once

#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>

namespace varnock::test {

// A page that keeps the texts drawn on it, each where it was drawn: what a drawing says can be
// checked without reading pixels.
class TextRecorder : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QPointF at; // device position
    };

    explicit TextRecorder(QSizeF points = QSizeF(595, 842))
        : m_size(points)
        , m_engine(std::make_unique<Engine>(m_texts))
    {}
    QPaintEngine *paintEngine() const override { return m_engine.get(); }

    const QList<Text> &texts() const { return m_texts; }
    QStringList strings() const
    {
        QStringList list;
        for (const Text &t : m_texts)
            list << t.text;
        return list;
    }
    bool has(const QString &text) const { return strings().contains(text); }
    // The vertical position of the first drawing of `text`; -1 when it was not drawn.
    double yOf(const QString &text) const
    {
        const auto it = std::find_if(m_texts.begin(), m_texts.end(),
                                     [&](const Text &t) { return t.text == text; });
        return it == m_texts.end() ? -1 : it->at.y();
    }
    void clear() { m_texts.clear(); }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return int(m_size.width());
        case PdmHeight:
            return int(m_size.height());
        case PdmWidthMM:
            return int(m_size.width() * 25.4 / 72);
        case PdmHeightMM:
            return int(m_size.height() * 25.4 / 72);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 72;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(QList<Text> &texts)
            : QPaintEngine(QPaintEngine::AllFeatures)
            , m_texts(texts)
        {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPath(const QPainterPath &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawLines(const QLineF *, int) override {}
        void drawRects(const QRectF *, int) override {}
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            m_texts << Text{item.text(), painter()->transform().map(p)};
        }
        Type type() const override { return QPaintEngine::User; }

    private:
        QList<Text> &m_texts;
    };

    QSizeF m_size;
    QList<Text> m_texts;
    std::unique_ptr<Engine> m_engine;
};

} // namespace varnock::test
