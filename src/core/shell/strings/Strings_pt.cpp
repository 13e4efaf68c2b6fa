// Portuguese texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_pt() {
    return {
        {"tray_none", "Nenhum dispositivo conectado"},
        {"tray_connected", "Conectados: {n}"},
        {"tray_addr_pending", "Verificando endereço…"},
        {"tray_addr", "Endereço deste PC: {addr}"},
        {"tray_devices", "Dispositivos pareados"},
        {"tray_power", "Permitir controle de energia do PC"},
        {"tray_screen", "Permitir visualização da tela pelo celular"},
        {"tray_autostart", "Iniciar com o Windows"},
        {"tray_help", "Ajuda"},
        {"tray_quit", "Sair"},
        {"tip_idle", "Velora — aguardando"},
        {"tip_connected", "Velora — conectados: {n}"},
        {"tip_viewing", "Velora — tela vista por: {names}"},
        {"balloon_running_title", "Velora está em execução"},
        {"balloon_running_body", "Seu celular já pode encontrar este PC ({addr})."},
        {"balloon_viewing", "{name} está vendo esta tela."},
        {"devices_none", "Nenhum ainda"},
        {"device_forget", "{name} ({ip}) — Desconectar"},
        {"devices_forget_all", "Desconectar todos"},
        {"addr_unknown", "Indisponível"},
        {"pin_title", "Pedido de conexão do Velora"},
        {"pin_head", "{name} ({ip}) quer se conectar."},
        {"pin_allow", "Permitir"},
        {"pin_or", "Ou digite este número no celular"},
        {"pin_foot", "Se você não reconhece este dispositivo, feche esta janela."},
        {"device_default", "Dispositivo"},
        {"mac_addr", "Endereço deste Mac: {addr}"},
        {"mac_power", "Permitir controle de energia do Mac"},
        {"mac_login", "Abrir ao iniciar sessão"},
        {"mac_viewing", "Vendo a tela: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Permissão de Acessibilidade necessária — clique para abrir os ajustes"},
        {"mac_ax_title", "Permissão de Acessibilidade necessária"},
        {"mac_ax_body",
         "Para que seu celular possa mover o mouse e usar o teclado deste Mac, ative esta "
         "permissão.\n\n"
         "Ajustes do Sistema › Privacidade e Segurança › Acessibilidade — ative o Velora.\n"
         "A alteração vale na hora. Se o ponteiro ainda não se mover, encerre o app e abra-o "
         "novamente."},
        {"mac_open_settings", "Abrir Ajustes"},
        {"mac_later", "Mais tarde"},
    };
}

Texts linuxTexts_pt() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Controle de entrada indisponível — clique para obter ajuda"},
        {"linux_ax_title", "Controle de entrada indisponível"},
        {"linux_ax_body",
         "O Velora move o ponteiro e digita por meio da extensão X11 XTEST, que esta sessão não "
         "oferece.\n\n"
         "Encerre a sessão, escolha uma sessão X11 (Xorg) na tela de login e abra o Velora "
         "novamente.\n"
         "Enquanto isso, o pareamento e a visualização da tela continuam funcionando."},
        {"linux_ax_help", "Abrir Ajuda"},
        {"linux_ports_closed",
         "⚠\uFE0E Não foi possível abrir a porta TCP {tcp} nem a porta UDP {udp} — os celulares "
         "não conseguem acessar este PC"},
        {"linux_control_closed",
         "⚠\uFE0E Não foi possível abrir a porta TCP {port} — os celulares não conseguem se "
         "conectar"},
        {"linux_discovery_closed",
         "⚠\uFE0E Não foi possível abrir a porta UDP {port} — os celulares não conseguem encontrar "
         "este PC"},
        {"settings_damaged_title", "Definições do Velora reparadas"},
        {"settings_damaged",
         "O arquivo de definições estava danificado; uma cópia foi guardada como {file}. "
         "Redefinido: {what}"},
        {"phone_menu", "Conectar um celular…"},
        {"phone_title", "Conectar um celular"},
        {"phone_howto",
         "Abra este endereço no navegador do celular ou escaneie o código com a câmera dele."},
        {"phone_named",
         "Este endereço é o nome do computador: continua o mesmo após reiniciar ou trocar de "
         "rede."},
        {"phone_numeric",
         "Este é um endereço numérico: pode mudar quando a rede atribuir outro ao computador."},
        {"phone_others", "Também disponível em:"},
        {"phone_none",
         "Ainda sem endereço de rede: conecte este computador à mesma rede do celular."},
        {"log_discovery_port_failed", "Não foi possível abrir a porta de descoberta: {error}"},
        {"log_control_port_failed", "Não foi possível abrir a porta de controle: {error}"},
        {"log_outside_refused", "Conexão recusada de um endereço externo: {ip}"},
        {"log_address_blocked", "{ip} PIN incorreto {count} vezes — bloqueado até {until}"},
        {"log_pairing_paused",
         "{count} PINs incorretos no total (último {ip}) — novos pareamentos suspensos até "
         "{until}"},
        {"log_line_too_long", "{ip} linha longa demais"},
        {"log_bad_greeting", "{ip} saudação inválida"},
        {"log_greeted", "{name} ({ip}) conectando · app {version}"},
        {"log_pairing_request", "{name} ({ip}) pedido de pareamento — PIN {pin} exibido"},
        {"log_pairing_timeout", "{name} ({ip}) tempo de pareamento esgotado"},
        {"log_pin_wrong", "{name} ({ip}) PIN incorreto"},
        {"log_connected", "{name} ({ip}) conectado"},
        {"log_disconnected", "{name} desconectado"},
        {"log_view_started",
         "{name} ({ip}) visualização da tela iniciada · largura {width} · qualidade {quality}"},
        {"log_view_ended", "{name} ({ip}) visualização da tela encerrada"},
        {"log_view_denied",
         "{name} ({ip}) visualização da tela — sem permissão de gravação de tela"},
        {"linux_consent_warn",
         "⚠\uFE0E Controle de entrada ainda não permitido — clique para ser perguntado de novo"},
        {"linux_consent_title", "O controle de entrada precisa do seu consentimento"},
        {"linux_consent_body",
         "Seu ambiente de trabalho pergunta, numa janela própria, se o Velora pode controlar o "
         "ponteiro e o teclado e compartilhar a tela.\n\n"
         "Permita ali e ative a opção de lembrar a escolha, para não ser perguntado a cada "
         "início.\n"
         "Se a janela foi recusada ou fechada, escolha Perguntar de novo. Enquanto isso, o Velora "
         "continua funcionando e os celulares continuam pareados."},
        {"linux_consent_ask", "Perguntar de novo"},
        {"linux_consent_console",
         "O controle de entrada precisa do seu consentimento: permita-o na janela que seu ambiente "
         "de trabalho mostra e deixe que ele lembre a escolha. Se foi recusado ou fechado, digite "
         "consent para ser perguntado de novo."},
        {"linux_no_compositor",
         "Nenhum compositor Wayland responde: a entrada não chega a lugar nenhum e a tela não pode "
         "ser exibida"},
        {"linux_no_screen_backend",
         "Este ambiente Wayland não oferece captura de tela que o Velora possa usar: a tela não "
         "pode ser exibida"},
        {"linux_no_input_backend",
         "Este ambiente Wayland não oferece controle de entrada que o Velora possa usar: a entrada "
         "não chega a lugar nenhum"},
        {"linux_no_backend",
         "Este ambiente Wayland não oferece controle de entrada nem captura de tela que o Velora "
         "possa usar: a entrada não chega a lugar nenhum e a tela não pode ser exibida"},
    };
}

}  // namespace velora::strings
