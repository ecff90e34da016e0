#include "gui/app/MainIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace rv::gui {

namespace {

constexpr int kSize = 20;

const QColor kInk(30, 30, 30);
const QColor kPaper(255, 255, 250);
const QColor kBlue(30, 80, 190);
const QColor kGreen(20, 140, 40);
const QColor kRed(200, 30, 30);
const QColor kYellow(235, 190, 40);

// A sheet of paper with a folded corner.
void page(QPainter& p, QRectF r) {
    QPainterPath path;
    const qreal fold = r.width() * 0.35;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

// A database drum (cylinder).
void drum(QPainter& p, QRectF r, QColor fill) {
    const qreal cap = r.height() * 0.28;
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    QPainterPath body;
    body.moveTo(r.left(), r.top() + cap / 2);
    body.lineTo(r.left(), r.bottom() - cap / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    body.lineTo(r.right(), r.top() + cap / 2);
    body.closeSubpath();
    p.drawPath(body);
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
}

void plus(QPainter& p, QPointF c, qreal half, QColor color) {
    p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(c.x() - half, c.y()), QPointF(c.x() + half, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - half), QPointF(c.x(), c.y() + half));
}

void cross(QPainter& p, QPointF c, qreal half, QColor color) {
    p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - half, c.y() - half), QPointF(c.x() + half, c.y() + half));
    p.drawLine(QPointF(c.x() - half, c.y() + half), QPointF(c.x() + half, c.y() - half));
}

void pencil(QPainter& p, QPointF tip, qreal length) {
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kYellow);
    p.drawRect(QRectF(3, -2, length - 3, 4));
    QPolygonF point;
    point << QPointF(0, 0) << QPointF(3, -2) << QPointF(3, 2);
    p.setBrush(kInk);
    p.drawPolygon(point);
    p.restore();
}

void arrow(QPainter& p, QPointF from, QPointF to, QColor color) {
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    QLineF line(to, from);
    QLineF a = line;
    a.setLength(5);
    a.setAngle(line.angle() + 35);
    QLineF b = line;
    b.setLength(5);
    b.setAngle(line.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void magnifier(QPainter& p, QPointF c, qreal radius) {
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(c, radius, radius);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    const qreal d = radius * 0.72;
    p.drawLine(QPointF(c.x() + d, c.y() + d), QPointF(c.x() + d + 5, c.y() + d + 5));
}

// A filled triangle pointing left (-1) or right (+1) with its tip at x.
void triangle(QPainter& p, qreal x, int direction, QColor color) {
    QPolygonF t;
    const qreal w = 6;
    t << QPointF(x, 10) << QPointF(x - direction * w, 5) << QPointF(x - direction * w, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(t);
}

void bar(QPainter& p, qreal x, QColor color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(x, 5, 2, 10));
}

void paint(QPainter& p, MainIcon which) {
    switch (which) {
    case MainIcon::NewDatabase:
        drum(p, QRectF(2, 4, 12, 14), QColor(220, 225, 240));
        p.setPen(QPen(kYellow, 1.6));
        for (int i = 0; i < 4; ++i) {
            QLineF ray(QPointF(15, 5), QPointF(19, 5));
            ray.setAngle(i * 45.0);
            p.drawLine(ray);
        }
        break;
    case MainIcon::OpenDatabase: {
        QPolygonF folder;
        folder << QPointF(1, 5) << QPointF(7, 5) << QPointF(9, 7) << QPointF(18, 7)
               << QPointF(18, 17) << QPointF(1, 17);
        p.setPen(QPen(kInk, 1));
        p.setBrush(kYellow);
        p.drawPolygon(folder);
        QPolygonF flap;
        flap << QPointF(4, 10) << QPointF(19.5, 10) << QPointF(16.5, 17) << QPointF(1, 17);
        p.setBrush(QColor(250, 215, 90));
        p.drawPolygon(flap);
        break;
    }
    case MainIcon::AddRecord:
        page(p, QRectF(2, 1, 12, 16));
        plus(p, QPointF(14, 14), 4.5, kGreen);
        break;
    case MainIcon::EditRecord:
        page(p, QRectF(2, 1, 12, 16));
        pencil(p, QPointF(7, 16), 13);
        break;
    case MainIcon::CopyRecord:
        page(p, QRectF(1, 1, 11, 14));
        page(p, QRectF(7, 5, 11, 14));
        break;
    case MainIcon::DeleteRecord:
        page(p, QRectF(2, 1, 12, 16));
        cross(p, QPointF(14, 14), 4, kRed);
        break;
    case MainIcon::ImportRecords:
        drum(p, QRectF(9, 5, 10, 13), QColor(220, 225, 240));
        arrow(p, QPointF(1, 11), QPointF(9, 11), kGreen);
        break;
    case MainIcon::ExportRecords:
        drum(p, QRectF(1, 5, 10, 13), QColor(220, 225, 240));
        arrow(p, QPointF(11, 11), QPointF(19, 11), kBlue);
        break;
    case MainIcon::Search:
        magnifier(p, QPointF(8, 8), 5.5);
        break;
    case MainIcon::EndSearch:
        magnifier(p, QPointF(8, 8), 5.5);
        cross(p, QPointF(14.5, 5), 3.5, kRed);
        break;
    case MainIcon::Locate:
        p.setPen(QPen(kRed, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        p.drawEllipse(QPointF(10, 10), 3.5, 3.5);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(10, 10), 1, 1);
        break;
    case MainIcon::LocateNext:
        p.setPen(QPen(kRed, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 10), 6, 6);
        p.drawEllipse(QPointF(8, 10), 2.5, 2.5);
        triangle(p, 19.5, 1, kBlue);
        break;
    case MainIcon::Reports: {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(QRectF(5, 1, 10, 8));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(1, 8, 18, 8), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(5, 13, 10, 6));
        p.setPen(QPen(kInk, 0.8));
        p.drawLine(QPointF(7, 15), QPointF(13, 15));
        p.drawLine(QPointF(7, 17), QPointF(13, 17));
        break;
    }
    case MainIcon::ViewerConfig:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 17, 15));
        p.setBrush(QColor(130, 130, 130));
        p.drawRect(QRectF(1.5, 2.5, 17, 4));
        p.drawLine(QPointF(7.5, 2.5), QPointF(7.5, 17.5));
        p.drawLine(QPointF(13, 2.5), QPointF(13, 17.5));
        p.drawLine(QPointF(1.5, 10.5), QPointF(18.5, 10.5));
        p.drawLine(QPointF(1.5, 14), QPointF(18.5, 14));
        break;
    case MainIcon::ColorSetup: {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(225, 195, 150));
        p.drawEllipse(QRectF(1, 2, 18, 16));
        const QColor dots[] = {kRed, kGreen, kBlue, kYellow};
        const QPointF at[] = {{6, 7}, {10.5, 5.5}, {14.5, 8}, {13.5, 13}};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(dots[i]);
            p.drawEllipse(at[i], 2, 2);
        }
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(6.5, 13), 2, 2);
        break;
    }
    case MainIcon::SortOrder: {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(8);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kBlue);
        p.drawText(QRectF(0, 0, 11, 10), Qt::AlignCenter, QStringLiteral("A"));
        p.drawText(QRectF(0, 10, 11, 10), Qt::AlignCenter, QStringLiteral("Z"));
        arrow(p, QPointF(15, 2), QPointF(15, 18), kInk);
        break;
    }
    case MainIcon::Help: {
        p.setPen(QPen(kBlue, 1));
        p.setBrush(QColor(225, 235, 255));
        p.drawEllipse(QRectF(1, 1, 18, 18));
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(1, 1, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case MainIcon::NavFirst:
        bar(p, 4, kInk);
        triangle(p, 7, -1, kInk);
        break;
    case MainIcon::NavPrior:
        triangle(p, 7, -1, kInk);
        break;
    case MainIcon::NavNext:
        triangle(p, 13, 1, kInk);
        break;
    case MainIcon::NavLast:
        triangle(p, 13, 1, kInk);
        bar(p, 14, kInk);
        break;
    case MainIcon::NavInsert:
        plus(p, QPointF(10, 10), 5, kInk);
        break;
    case MainIcon::NavDelete:
        p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(5, 10), QPointF(15, 10));
        break;
    case MainIcon::NavEdit: {
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 16), QPointF(15, 5));
        p.drawLine(QPointF(4, 16), QPointF(9, 16));
        break;
    }
    case MainIcon::NavPost:
        p.setPen(QPen(kGreen, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF() << QPointF(4, 10) << QPointF(8, 15) << QPointF(16, 5));
        break;
    case MainIcon::NavCancel:
        cross(p, QPointF(10, 10), 5, kRed);
        break;
    case MainIcon::NavRefresh: {
        p.setPen(QPen(kInk, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 12, 12), 60 * 16, 300 * 16);
        QPolygonF head;
        head << QPointF(13, 1.5) << QPointF(16.5, 5.5) << QPointF(11.5, 6.5);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPolygon(head);
        break;
    }
    }
}

}  // namespace

QIcon mainIcon(MainIcon which) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        {
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            paint(p, which);
        }
        icon.addPixmap(pixmap);
        // The disabled look: the same picture in grey.
        QImage grey = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grey.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const int g = 150 + qGray(line[x]) / 3;
                line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
            }
        }
        QPixmap disabled = QPixmap::fromImage(grey);
        disabled.setDevicePixelRatio(scale);
        icon.addPixmap(disabled, QIcon::Disabled);
    }
    return icon;
}

}  // namespace rv::gui
