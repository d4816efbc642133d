// A scenario that must fail: the runner exits non-zero.
kelm.open("TFmBanho");
kelm.equal(kelm.text("EdtCodBanho"), "nao existe", "deve falhar");
