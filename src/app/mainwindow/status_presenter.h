#pragma once
// The status bar's texts: what each field shows and who may write it. The map
// pane's pointer read-out, the services' progress texts, the network activity and
// the shadow's "Calculating Shadow..." all come here; only this class knows the
// fields' numbers.

#include "net/http_request.h"
#include "net/service_owner.h"
#include "render/sun_shadow.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <string_view>

namespace chronvale {

class Language;
class StatusBar;

class StatusPresenter final : public HttpEventSink, public ShadowProgress {
public:
    // The fields, left to right; the activity field shows the network indicator.
    enum Field : int { Message = 0, Latitude = 1, Longitude = 2, Activity = 3, LocalTime = 4 };
    // The fields' widths for StatusBar (0: the message field takes the room left).
    // The local time is followed by its zone ("America/Argentina/Buenos_Aires").
    static QList<int> fieldWidths() { return {0, 70, 70, 100, 330}; }

    StatusPresenter(StatusBar& bar, const Language& language);

    // Sets the text of a field.
    void show(Field field, const QString& text);
    // A status text of the cloud service or the earthquake feed: a transfer's in
    // the message field, the newest image check's in the latitude field.
    void showServiceStatus(ServiceStatus kind, const QString& text);
    // The message field's text for the city under the pointer (its country or
    // name), or none when no city is near enough: then a city text shown before is
    // cleared, while any other message stays. A download's progress or a service's
    // held text keeps the field either way.
    void showPointerCity(const std::optional<QString>& text);
    // Whether a download shows its progress in the activity field; the texts of
    // the pointer and the shadow then leave the message field to it.
    bool downloadShowing() const;
    // How long a text of the services or the network keeps the message field from
    // the pointer's and the shadow's texts, so that a failure stays readable.
    static constexpr qint64 NoticeHoldMs = 30000;
    // Whether the pointer's and the shadow's texts may take the message field: no
    // download shows its progress and no service or network text is held there.
    bool messageFieldFree() const;
    // Called when the transfers are over (the animation buttons follow).
    void setIdleHandler(std::function<void()> handler) { idle_ = std::move(handler); }

    // HttpEventSink: the activity indicator and the client's messages.
    void httpEvent(HttpEvent event, HttpRequest& request, std::string_view text, int code) override;

    // ShadowProgress: the wait cursor and "Calculating Shadow..." while it runs.
    void shadowStarted() override;
    void shadowFinished() override;

    // A text of the services, the network or a command's outcome in the message
    // field, held there for NoticeHoldMs.
    void showNotice(const QString& text);

private:
    StatusBar& bar_;
    const Language& language_;
    std::function<void()> idle_;
    std::optional<QString> pointerCity_; // the city text the message field shows
    QElapsedTimer noticeShown_;          // since the last held text; invalid before the first
};

} // namespace chronvale
