// Draws the program's own pictures: the welcome picture and the application icon.
// Run once after changing a drawing; the PNGs it writes are kept in the repository.
//   make_pictures OUTPUT_FOLDER
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

const QColor kDeep(0x1f, 0x5f, 0x9e);
const QColor kLight(0x4f, 0xa3, 0xd9);
const QColor kPaper(0xfd, 0xfd, 0xfb);
const QColor kAccent(0xf2, 0x9b, 0x38);

// A ledger page with ruled lines and a column of figures.
void drawLedger(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(0, 0, 0, 60), r.width() / 60));
  p.setBrush(kPaper);
  p.drawRoundedRect(r, r.width() / 14, r.width() / 14);
  const qreal left = r.left() + r.width() * 0.14;
  const qreal right = r.right() - r.width() * 0.14;
  p.setPen(QPen(QColor(0x9c, 0xb6, 0xcf), r.width() / 40));
  for (int i = 0; i < 6; ++i) {
    const qreal y = r.top() + r.height() * (0.2 + i * 0.12);
    p.drawLine(QPointF(left, y), QPointF(right, y));
  }
  p.setPen(QPen(kDeep, r.width() / 30));
  const qreal split = r.left() + r.width() * 0.58;
  p.drawLine(QPointF(split, r.top() + r.height() * 0.14),
             QPointF(split, r.bottom() - r.height() * 0.12));
}

// A cloud: the online service.
QPainterPath cloud(const QRectF& r) {
  const qreal w = r.width(), h = r.height();
  auto ellipse = [](const QRectF& e) {
    QPainterPath p;
    p.addEllipse(e);
    return p;
  };
  QPainterPath path = ellipse(QRectF(r.left(), r.top() + h * 0.35, w * 0.45, h * 0.65));
  path = path.united(ellipse(QRectF(r.left() + w * 0.22, r.top(), w * 0.5, h * 0.8)));
  path = path.united(ellipse(QRectF(r.left() + w * 0.5, r.top() + h * 0.25, w * 0.5, h * 0.75)));
  QPainterPath base;
  base.addRect(QRectF(r.left() + w * 0.2, r.top() + h * 0.6, w * 0.6, h * 0.4));
  return path.united(base);
}

void drawArrow(QPainter& p, QPointF from, QPointF to, qreal width) {
  p.setPen(QPen(kAccent, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF n(-d.y(), d.x());
  QPolygonF head;
  head << to + d * width * 1.2 << to - d * width * 1.2 + n * width * 1.6
       << to - d * width * 1.2 - n * width * 1.6;
  p.setBrush(kAccent);
  p.setPen(Qt::NoPen);
  p.drawPolygon(head);
}

// Drawn at 160 x 200 points, scale pixels to the point (2 for high-density screens).
QImage welcomePicture(int scale) {
  const QSize size(160, 200);
  QImage img(size * scale, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(0xe8, 0xf3, 0xfb));
  sky.setColorAt(1, QColor(0xc4, 0xdf, 0xf2));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 10, 10);

  drawLedger(p, QRectF(18, 92, 62, 80));
  p.setBrush(kLight);
  p.setPen(QPen(kDeep, 2));
  p.drawPath(cloud(QRectF(70, 22, 76, 50)));
  drawArrow(p, QPointF(58, 86), QPointF(92, 70), 5);

  // The service's name under the pictures.
  p.setPen(kDeep);
  QFont f("DejaVu Sans");
  f.setPixelSize(22);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(84, 150, 70, 30), Qt::AlignCenter, "Ledra");
  return img;
}

QImage icon() {
  const int s = 256;
  QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, s, s);
  g.setColorAt(0, kLight);
  g.setColorAt(1, kDeep);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(12, 12, s - 24, s - 24), 48, 48);
  drawLedger(p, QRectF(40, 92, 104, 128));
  p.setBrush(QColor(255, 255, 255, 235));
  p.setPen(Qt::NoPen);
  p.drawPath(cloud(QRectF(116, 40, 112, 74)));
  drawArrow(p, QPointF(118, 150), QPointF(176, 124), 14);
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures OUTPUT_FOLDER\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const bool ok = welcomePicture(1).save(out + "/welcome.png") &&
                  welcomePicture(2).save(out + "/welcome@2x.png") && icon().save(out + "/icon.png");
  return ok ? 0 : 1;
}
